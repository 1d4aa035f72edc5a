package com.quorvel.dovra.statusitem;

import static java.nio.charset.StandardCharsets.UTF_8;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.List;
import org.junit.jupiter.api.Test;

/**
 * Runs in a JVM of its own whose Bundle constructor throws. The reference taken for the Java
 * object that was never made must be given back.
 */
class ThrowingBundleConstructorTest {
    static {
        TestNative.load();
    }

    @Test
    void theReferenceForAnObjectNeverMadeIsGivenBack() {
        long h = Bundle.nativeCreateBundle();
        Bundle.nativePutInt(h, "n", 1);
        Recorder recorder = new Recorder();
        assertTrue(new StatusItemClient(recorder).bind());
        TestNative.logLines();
        assertTrue(TestNative.deliverFields("b".getBytes(UTF_8), 4, 0, 0, null, h, true));
        List<Recorder.Event> events = recorder.take();
        assertEquals(1, events.size());
        assertNull(events.get(0).value());
        assertEquals(1, TestNative.refCount(h));
        assertEquals(List.of(), TestNative.logLines());
        StatusItemClient.unbind();
        Bundle.nativeFree(h);
    }
}
