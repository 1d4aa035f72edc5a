package com.quorvel.dovra.statusitem;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.List;
import java.util.concurrent.atomic.AtomicReference;
import org.junit.jupiter.api.Test;

class SupportLibraryTest {
    static {
        TestNative.load();
    }

    @Test
    void aNativeThreadIsAttachedOnceAndDetachedWhenItEnds() {
        AtomicReference<Thread> seen = new AtomicReference<>();
        assertTrue(TestNative.runOnAttachedThread(() -> seen.set(Thread.currentThread())));
        assertNotNull(seen.get());
        assertFalse(seen.get().isAlive());
    }

    @Test
    void printExceptionLogsTheThrowablesTextAndAcceptsNull() {
        TestNative.logLines();
        TestNative.printThrowable(new IllegalStateException("boom"));
        TestNative.printThrowable(null);
        List<TestNative.LogLine> lines = TestNative.logLines();
        assertEquals(2, lines.size());
        assertTrue(lines.get(0).message().contains("java.lang.IllegalStateException: boom"));
        assertEquals(TestNative.ERROR, lines.get(1).priority());
    }

    @Test
    void createStringByteArrayCopiesExactlyTheBytes() {
        assertArrayEquals(new byte[0], TestNative.stringBytes(new byte[0]));
        assertArrayEquals(new byte[] {0, -1, 'a'}, TestNative.stringBytes(new byte[] {0, -1, 'a'}));
    }

    @Test
    void textDecodesUtf8AndModifiedUtf8() {
        assertEquals("a\0b", Text.decode(new byte[] {'a', (byte) 0xC0, (byte) 0x80, 'b'}));
        assertEquals("\uD83D\uDE00", Text.decode(new byte[] {(byte) 0xF0, (byte) 0x9F, (byte) 0x98, (byte) 0x80}));
        assertEquals("\uFFFDx", Text.decode(new byte[] {(byte) 0xE2, 'x'}));
    }
}
