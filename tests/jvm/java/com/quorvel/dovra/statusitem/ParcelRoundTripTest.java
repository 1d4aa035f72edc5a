package com.quorvel.dovra.statusitem;

import static org.junit.jupiter.api.Assertions.*;

import android.os.Parcel;
import java.util.Objects;
import org.junit.jupiter.api.Test;

class ParcelRoundTripTest {
    static {
        TestNative.load();
    }

    // Samples 1 to 4 of every kind, each under a key of its own.
    @Test
    void valuesOfEachKindSurviveMarshallingThroughBytes() {
        byte[] bytes;
        Parcel out = Parcel.obtain();
        try (Bundle b = new Bundle()) {
            for (int n = 1; n <= 4; n++) {
                for (Kind kind : Kind.ALL) kind.put(b, kind.name() + n, n);
            }
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
                for (int n = 1; n <= 4; n++) {
                    for (Kind kind : Kind.ALL) {
                        String key = kind.name() + n;
                        assertTrue(Objects.deepEquals(kind.sample(n), kind.get().apply(b, key)), key);
                    }
                }
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
