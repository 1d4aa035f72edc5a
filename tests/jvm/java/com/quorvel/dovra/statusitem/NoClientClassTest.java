package com.quorvel.dovra.statusitem;

import static java.nio.charset.StandardCharsets.UTF_8;
import static org.junit.jupiter.api.Assertions.*;

import java.util.List;
import org.junit.jupiter.api.Test;
import tessik.BinderClients;

/** Runs in a JVM of its own whose class path lacks StatusItemClient. */
class NoClientClassTest {
    static {
        TestNative.load();
    }

    @Test
    void theClientFailsAloneAndTheBundleNativesWork() {
        assertThrows(ClassNotFoundException.class,
                () -> Class.forName("com.quorvel.dovra.statusitem.StatusItemClient"));
        assertNull(TestNative.LOAD_FAILURE);
        List<TestNative.LogLine> lines = TestNative.LOAD_LINES;
        assertEquals(3, lines.size(), lines.toString());
        assertEquals(new TestNative.LogLine(TestNative.DEBUG, "StatusItemNative",
                             "StatusItemBinder::jniInit"),
                lines.get(0));
        assertEquals(new TestNative.LogLine(TestNative.ERROR, "StatusItemNative",
                             " $$$ Unable to load StatusItemClient"),
                lines.get(1));
        assertTrue(lines.get(2).message().contains(
                "java.lang.NoClassDefFoundError: com/quorvel/dovra/statusitem/StatusItemClient"));

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
}
