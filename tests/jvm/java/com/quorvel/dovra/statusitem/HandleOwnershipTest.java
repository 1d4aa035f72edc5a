package com.quorvel.dovra.statusitem;

import static org.junit.jupiter.api.Assertions.*;

import android.os.Parcel;
import java.lang.reflect.Field;
import java.util.List;
import org.junit.jupiter.api.Test;

class HandleOwnershipTest {
    static {
        TestNative.load();
    }

    @Test
    void anUnreachableBundleGivesItsHandleBackThroughTheCleaner() throws InterruptedException {
        long h = Bundle.nativeCreateBundle();
        TestNative.wrapTree(h).putInt("x", 1); // dropped without close()
        assertEquals(2, TestNative.refCount(h));
        for (int i = 0; i < 200 && TestNative.refCount(h) != 1; i++) {
            System.gc();
            Thread.sleep(50);
        }
        assertEquals(1, TestNative.refCount(h));
        Bundle.nativeFree(h);
    }

    // Handle 0 and an empty bundle write the same empty encoding; it reads back as a handle
    // of its own, and so does unreadable content, with the decoder's line.
    @Test
    void emptyAndUnreadableBundlesReadBackAsFreshHandles() {
        Parcel p = Parcel.obtain();
        try {
            long fresh = Bundle.nativeCreateBundle();
            Bundle.nativeToParcel(0, p);
            Bundle.nativeToParcel(fresh, p);
            Bundle.nativeFree(fresh);
            p.writeInt(7);
            assertArrayEquals(new byte[] {'B', 'N', 'D', 'L', 0, 0, 0, 0, 'B', 'N', 'D', 'L', 0, 0,
                                      0, 0, 7, 0, 0, 0},
                    p.marshall());
            p.setDataPosition(0);
            long back = Bundle.nativeFromParcel(p);
            assertEquals(8, p.dataPosition());
            assertEquals(1, TestNative.refCount(back));
            assertEquals(0, TestNative.entryCount(back));
            Bundle.nativeFree(back);
            p.setDataPosition(16);
            TestNative.logLines();
            try (Bundle b = Bundle.readFromParcel(p)) {
                assertFalse(b.isClosed());
                assertEquals(1, TestNative.refCount(b.handle()));
            }
            assertEquals(List.of(new TestNative.LogLine(TestNative.ERROR, "Bundle",
                                 "Invalid magic identifier 00000007")),
                    TestNative.logLines());
        } finally {
            p.recycle();
        }
    }

    @Test
    void parcelObjectsResolveLikeThePlatform() throws Exception {
        assertEquals(0L, Bundle.nativeFromParcel(null));
        Parcel p = Parcel.obtain();
        Field field = Parcel.class.getDeclaredField("mNativePtr");
        field.setAccessible(true);
        long ptr = field.getLong(p);
        try {
            field.setLong(p, 0L);
            IllegalStateException e = assertThrows(IllegalStateException.class,
                    () -> Bundle.nativeFromParcel(p));
            assertEquals("Parcel has been finalized!", e.getMessage());
        } finally {
            field.setLong(p, ptr);
            p.recycle();
        }
    }
}
