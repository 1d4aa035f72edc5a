package com.quorvel.dovra.statusitem;

import static java.nio.charset.StandardCharsets.UTF_8;
import static org.junit.jupiter.api.Assertions.*;

import java.util.Arrays;
import java.util.List;
import org.junit.jupiter.api.Test;
import tessik.BinderClients;

/**
 * Each case runs in a JVM of its own whose class path lacks a class that the library binds to, or
 * holds a broken one put before the real one.
 */
class BrokenBindingTest {
    static {
        TestNative.load();
    }

    /** What the library logged while it was loaded, as "priority tag: message". */
    private static void assertLoadLines(String... expected) {
        assertNull(TestNative.LOAD_FAILURE); // no exception was left pending by the load entry
        List<String> lines = TestNative.LOAD_LINES.stream()
                                     .map(l -> l.priority() + " " + l.tag() + ": " + l.message())
                                     .toList();
        assertEquals(expected.length, lines.size(), lines.toString());
        for (int i = 0; i < expected.length; i++) {
            assertTrue(lines.get(i).contains(expected[i]), lines.get(i));
        }
    }

    private static final String INIT = "3 StatusItemNative: StatusItemBinder::jniInit";

    @Test
    void withoutTheClientClassTheClientFailsAloneAndTheBundleNativesWork() {
        assertThrows(ClassNotFoundException.class,
                () -> Class.forName("com.quorvel.dovra.statusitem.StatusItemClient"));
        assertLoadLines(INIT, "6 StatusItemNative:  $$$ Unable to load StatusItemClient",
                "java.lang.NoClassDefFoundError: com/quorvel/dovra/statusitem/StatusItemClient");
        try (Bundle b = new Bundle()) {
            b.putString("k", "v");
            assertEquals("v", b.getString("k"));
        }
        assertEquals(0, TestNative.deliverFields("k".getBytes(UTF_8), 1, 1, 0, null, 0, true));
        assertEquals(List.of(new TestNative.LogLine(TestNative.ERROR, "StatusItemNative",
                             "StatusItem Binder is not initialized yet")),
                TestNative.logLines());
        assertFalse(BinderClients.bind("com.quorvel.dovra.statusitem.StatusItemClient", new Object()));
    }

    @Test
    void withoutItsHandleFieldTheBundleBindingFailsQuietlyWithItsLogLine() {
        assertThrows(NoSuchFieldException.class, () -> Bundle.class.getDeclaredField("mNativePtr"));
        assertLoadLines(INIT, "Exception: java.lang.NoSuchFieldError",
                "6 Bundle:  $$$ Unable to load com/quorvel/dovra/statusitem/Bundle __");
        assertTrue(TestNative.LOAD_LINES.get(1).message().contains("mNativePtr"));
        assertThrows(UnsatisfiedLinkError.class, Bundle::nativeCreateBundle);
    }

    // Without the (long) constructor the delivery calls into Java with the lookup's error
    // pending, which the JNI checker reports. Either way no reference may stay for the object
    // never made.
    @Test
    void withABrokenConstructorABundleItemArrivesAsNullAndHoldsNoReference() {
        boolean noConstructor = Arrays.stream(Bundle.class.getDeclaredConstructors())
                                        .noneMatch(c -> c.getParameterCount() == 1);
        assertLoadLines(INIT);
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
