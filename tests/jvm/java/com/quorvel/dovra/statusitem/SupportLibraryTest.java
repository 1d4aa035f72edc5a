package com.quorvel.dovra.statusitem;

import static org.junit.jupiter.api.Assertions.*;

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
    void textDecodesUtf8AndModifiedUtf8() {
        assertEquals("a\0b", Text.decode(new byte[] {'a', (byte) 0xC0, (byte) 0x80, 'b'}));
        assertEquals("\uD83D\uDE00", Text.decode(new byte[] {(byte) 0xF0, (byte) 0x9F, (byte) 0x98, (byte) 0x80}));
        assertEquals("\uFFFDx", Text.decode(new byte[] {(byte) 0xE2, 'x'}));
    }
}
