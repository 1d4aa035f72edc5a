package com.quorvel.dovra.statusitem;

import static org.junit.jupiter.api.Assertions.*;

import java.util.List;
import org.junit.jupiter.api.Test;

/** Runs in a JVM of its own whose Bundle class has no mNativePtr field. */
class NoNativePtrFieldTest {
    static {
        TestNative.load();
    }

    @Test
    void theBindingFailsQuietlyWithItsLogLine() {
        assertThrows(NoSuchFieldException.class, () -> Bundle.class.getDeclaredField("mNativePtr"));
        assertNull(TestNative.LOAD_FAILURE); // no exception was left pending by the load entry
        List<TestNative.LogLine> lines = TestNative.LOAD_LINES;
        assertEquals(3, lines.size(), lines.toString());
        assertEquals("StatusItemBinder::jniInit", lines.get(0).message());
        assertTrue(lines.get(1).message().startsWith("Exception: java.lang.NoSuchFieldError"));
        assertTrue(lines.get(1).message().contains("mNativePtr"));
        assertEquals(new TestNative.LogLine(TestNative.ERROR, "Bundle",
                             " $$$ Unable to load com/quorvel/dovra/statusitem/Bundle __"),
                lines.get(2));
        assertThrows(UnsatisfiedLinkError.class, Bundle::nativeCreateBundle);
    }
}
