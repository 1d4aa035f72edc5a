package com.quorvel.dovra.statusitem;

import static java.nio.charset.StandardCharsets.UTF_8;
import static org.junit.jupiter.api.Assertions.*;

import java.util.Arrays;
import java.util.List;
import org.junit.jupiter.api.Test;

/**
 * Runs in a JVM of its own whose Bundle class has no (long) constructor, or one that throws.
 * Without the constructor the delivery calls into Java with the lookup's error pending, which
 * the JNI checker reports. Either way no reference may stay for the object never made.
 */
class BrokenBundleConstructorTest {
    static {
        TestNative.load();
    }

    @Test
    void aBundleItemArrivesAsNullAndHoldsNoReference() {
        boolean noConstructor = Arrays.stream(Bundle.class.getDeclaredConstructors())
                                        .noneMatch(c -> c.getParameterCount() == 1);
        assertEquals(List.of(new TestNative.LogLine(TestNative.DEBUG, "StatusItemNative",
                             "StatusItemBinder::jniInit")),
                TestNative.LOAD_LINES);
        long h = Bundle.nativeCreateBundle();
        Bundle.nativePutInt(h, "n", 1);
        Recorder recorder = new Recorder();
        assertTrue(recorder.client().bind());
        TestNative.logLines();
        assertEquals(1, TestNative.deliverFields("b".getBytes(UTF_8), 4, 0, 0, null, h, true));
        assertEquals(List.of("onBundle null"),
                recorder.take().stream().map(e -> e.method() + " " + e.value()).toList());
        assertEquals(1, TestNative.refCount(h));
        assertEquals(noConstructor ? List.of(new TestNative.LogLine(TestNative.ERROR, "Bundle",
                                             "Unable to create Bundle(long)"))
                                   : List.of(),
                TestNative.logLines());
        StatusItemClient.unbind();
        Bundle.nativeFree(h);
    }
}
