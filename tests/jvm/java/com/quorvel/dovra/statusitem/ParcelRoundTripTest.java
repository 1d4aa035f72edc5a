package com.quorvel.dovra.statusitem;

import static org.junit.jupiter.api.Assertions.*;

import android.os.Parcel;
import org.junit.jupiter.api.Test;

class ParcelRoundTripTest {
    static {
        TestNative.load();
    }

    @Test
    void valuesOfEachKindSurviveMarshallingThroughBytes() {
        byte[] bytes;
        Parcel out = Parcel.obtain();
        try (Bundle b = new Bundle(); Bundle inner = new Bundle()) {
            inner.putString("name", "inner");
            b.putDouble("d", 2.2);
            b.putBundle("b", inner);
            b.putBooleanArray("za", new boolean[] {true, false, false, true});
            b.putByteArray("ba", new byte[] {-1, 0, 127, -128});
            b.putShortArray("sa", new short[] {-1, 0, Short.MAX_VALUE, Short.MIN_VALUE});
            b.putIntArray("ia", new int[] {-1, Integer.MAX_VALUE, Integer.MIN_VALUE});
            b.putDoubleArray("da", new double[] {0.3, -2.2});
            b.putStringArray("ss", new String[] {"x", ""});
            b.putBundleArray("bb", new Bundle[] {inner, inner});
            out.writeInt(0x1234); // the bundle need not start the parcel
            b.writeToParcel(out);
            bytes = out.marshall();
        } finally {
            out.recycle();
        }
        Parcel in = Parcel.obtain();
        try {
            in.unmarshall(bytes, 0, bytes.length);
            assertEquals(bytes.length, in.dataPosition()); // unmarshall leaves it at the end
            in.setDataPosition(0);
            assertEquals(0x1234, in.readInt());
            try (Bundle b = Bundle.readFromParcel(in)) {
                assertEquals(bytes.length, in.dataPosition());
                assertEquals(2.2, b.getDouble("d"));
                try (Bundle inner = b.getBundle("b")) {
                    assertEquals("inner", inner.getString("name"));
                }
                assertArrayEquals(new boolean[] {true, false, false, true}, b.getBooleanArray("za"));
                assertArrayEquals(new byte[] {-1, 0, 127, -128}, b.getByteArray("ba"));
                assertArrayEquals(new short[] {-1, 0, Short.MAX_VALUE, Short.MIN_VALUE}, b.getShortArray("sa"));
                assertArrayEquals(new int[] {-1, Integer.MAX_VALUE, Integer.MIN_VALUE}, b.getIntArray("ia"));
                assertArrayEquals(new double[] {0.3, -2.2}, b.getDoubleArray("da"));
                assertArrayEquals(new String[] {"x", ""}, b.getStringArray("ss"));
                Bundle[] bb = b.getBundleArray("bb");
                assertEquals("inner", bb[1].getString("name"));
                for (Bundle x : bb) x.close();
            }
        } finally {
            in.recycle();
        }
    }

    @Test
    void theParcelStandInBehavesLikeThePlatform() {
        Parcel p = Parcel.obtain();
        try {
            p.unmarshall(new byte[] {1, 2, 3, 4, 5}, 0, 5);
            assertEquals(8, p.dataSize());
            assertEquals(8, p.dataPosition());
            assertArrayEquals(new byte[] {1, 2, 3, 4, 5, 0, 0, 0}, p.marshall());
            p.setDataPosition(4);
            assertEquals(5, p.readInt());
            assertEquals(0, p.readInt()); // past the end: 0, position unchanged
            assertEquals(8, p.dataPosition());
            p.unmarshall(new byte[] {9}, 0, -1); // a negative length does nothing
            assertEquals(8, p.dataSize());
            assertThrows(ArrayIndexOutOfBoundsException.class,
                    () -> p.unmarshall(new byte[] {1, 2}, 1, 2));
            p.unmarshall(new byte[] {0, 7, 0, 0, 0}, 1, 4);
            p.setDataPosition(0);
            assertEquals(7, p.readInt());
        } finally {
            p.recycle();
        }
    }
}
