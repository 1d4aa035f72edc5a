package com.quorvel.dovra.statusitem;

import static java.nio.charset.StandardCharsets.UTF_8;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.List;
import org.junit.jupiter.api.Test;

/**
 * Runs in a JVM of its own whose Bundle class has no (long) constructor. The delivery then
 * calls into Java with the lookup's error pending, which the JNI checker reports.
 */
class NoBundleConstructorTest {
    static {
        TestNative.load();
    }

    @Test
    void aBundleItemArrivesAsNullAfterTheLookupFails() {
        assertEquals(List.of(new TestNative.LogLine(TestNative.DEBUG, "StatusItemNative",
                             "StatusItemBinder::jniInit")),
                TestNative.LOAD_LINES);
        long h = Bundle.nativeCreateBundle();
        Bundle.nativePutInt(h, "n", 1);
        Recorder recorder = new Recorder();
        assertTrue(new StatusItemClient(recorder).bind());
        assertTrue(TestNative.deliverFields("b".getBytes(UTF_8), 4, 0, 0, null, h, true));
        List<Recorder.Event> events = recorder.take();
        assertEquals(1, events.size());
        assertEquals("statusUpdateBundleFromNative", events.get(0).method());
        assertNull(events.get(0).value());
        assertEquals(1, TestNative.refCount(h)); // no reference was taken for a Java object
        assertEquals(List.of(new TestNative.LogLine(TestNative.ERROR, "Bundle",
                             "Unable to create Bundle(long)")),
                TestNative.logLines());
        StatusItemClient.unbind();
        Bundle.nativeFree(h);
    }
}
