package com.quorvel.dovra.statusitem;

import static java.nio.charset.StandardCharsets.UTF_8;
import static org.junit.jupiter.api.Assertions.*;

import java.util.Arrays;
import java.util.List;
import java.util.Map;
import java.util.concurrent.ConcurrentHashMap;
import org.junit.jupiter.api.AfterEach;
import org.junit.jupiter.api.BeforeEach;
import org.junit.jupiter.api.Test;
import tessik.BinderClients;

class StatusItemDeliveryTest {
    static {
        TestNative.load();
    }

    private static final int BOOL = 0, LONG = 1, DOUBLE = 2, STRING = 3, BUNDLE = 4;

    private final Recorder mRecorder = new Recorder();

    @BeforeEach
    void bind() {
        assertTrue(new StatusItemClient(mRecorder).bind());
        TestNative.logLines();
    }

    @AfterEach
    void unbind() {
        StatusItemClient.unbind();
    }

    private static byte[] bytes(String s) {
        return s.getBytes(UTF_8);
    }

    private Recorder.Event single() {
        List<Recorder.Event> events = mRecorder.take();
        assertEquals(1, events.size(), events.toString());
        return events.get(0);
    }

    @Test
    void eachKindReachesItsCallbackOnTheProducersThread() {
        Object[][] cases = {
            {BOOL, 1L, 0.0, null, "statusUpdateBoolFromNative", true},
            {BOOL, 0L, 0.0, null, "statusUpdateBoolFromNative", false},
            {LONG, Long.MIN_VALUE, 0.0, null, "statusUpdateLongFromNative", Long.MIN_VALUE},
            {LONG, -1L, 0.0, null, "statusUpdateLongFromNative", -1L},
            {DOUBLE, 0L, -1.1, null, "statusUpdateDoubleFromNative", -1.1},
            {BUNDLE, 0L, 0.0, null, "statusUpdateBundleFromNative", null}, // empty: no object
        };
        for (Object[] c : cases) {
            assertTrue(TestNative.deliverFields(bytes("key"), (Integer) c[0], (Long) c[1],
                    (Double) c[2], (byte[]) c[3], 0, true));
            Recorder.Event e = single();
            assertEquals(c[4], e.method());
            assertArrayEquals(bytes("key"), e.key());
            assertEquals(c[5], e.value());
            assertNotSame(Thread.currentThread(), e.thread());
        }
        assertEquals(List.of(), TestNative.logLines());
    }

    @Test
    void aStringIsCutAtItsFirstNulButAKeyArrivesWhole() {
        byte[] key = {'k', 0, 'y'};
        assertTrue(TestNative.deliverFields(key, STRING, 0, 0, new byte[] {'a', 'b', 0, 'c'}, 0,
                false));
        Recorder.Event e = single();
        assertEquals("statusUpdateStringFromNative", e.method());
        assertArrayEquals(key, e.key());
        assertArrayEquals(bytes("ab"), (byte[]) e.value());
        assertSame(Thread.currentThread(), e.thread());

        assertTrue(TestNative.deliverFields(new byte[0], STRING, 0, 0, new byte[0], 0, true));
        e = single();
        assertArrayEquals(new byte[0], e.key());
        assertArrayEquals(new byte[0], (byte[]) e.value());
    }

    @Test
    void aBundleArrivesSharingTheItemsContent() {
        try (Bundle source = new Bundle()) {
            source.putString("s", "v");
            long h = source.handle();
            assertTrue(TestNative.deliverFields(bytes("b"), BUNDLE, 0, 0, null, h, true));
            Recorder.Event e = single();
            assertEquals("statusUpdateBundleFromNative", e.method());
            try (Bundle got = (Bundle) e.value()) {
                assertEquals(h, got.handle());
                assertEquals(2, TestNative.refCount(h)); // the item is gone, the Java one stays
                assertEquals("v", got.getString("s"));
                got.putInt("back", 1);
                assertEquals(1, source.getInt("back"));
            }
            assertEquals(1, TestNative.refCount(h));
        }
    }

    @Test
    void anUnknownTypeIsLoggedAndNotDelivered() {
        for (int type : new int[] {5, -1, Integer.MIN_VALUE}) {
            assertTrue(TestNative.deliverFields(bytes("k"), type, 0, 0, null, 0, true));
            assertEquals(List.of(), mRecorder.take());
            assertEquals(List.of(new TestNative.LogLine(TestNative.WARN, "StatusItemNative",
                                 "Unknown item value type")),
                    TestNative.logLines());
        }
    }

    @Test
    void anUnboundClientGetsNothing() {
        StatusItemClient.unbind();
        assertFalse(TestNative.deliverFields(bytes("k"), LONG, 1, 0, null, 0, true));
        assertEquals(List.of(), mRecorder.take());
        assertEquals(List.of(new TestNative.LogLine(TestNative.ERROR, "StatusItemNative",
                             "StatusItem Binder native interface is not initialized yet")),
                TestNative.logLines());
        assertFalse(BinderClients.bind("no.such.Client", mRecorder));
    }

    @Test
    void aThrowingCallbackLeavesItsExceptionPendingAndTheResultTrue() {
        StatusItemClient throwing = new StatusItemClient(new Recorder() {
            @Override
            public void onLong(byte[] key, long value) {
                throw new IllegalStateException("callback failed");
            }
        });
        assertTrue(throwing.bind());
        assertEquals(3, TestNative.deliverLongReportingPending(1));
        assertTrue(new StatusItemClient(mRecorder).bind());
        assertEquals(1, TestNative.deliverLongReportingPending(2));
        assertEquals(2L, single().value());
    }

    // One native thread that never returns to Java between items: every local reference
    // an item took must be gone before the next, whatever its kind.
    @Test
    void oneHundredThousandItemsFromANativeThread() {
        Map<String, Integer> counts = new ConcurrentHashMap<>();
        StatusItemClient counting = new StatusItemClient(new Recorder() {
            @Override
            void add(String method, byte[] key, Object value) {
                if (value instanceof Boolean) method += " " + value;
                if (value instanceof Bundle bundle) {
                    if (bundle.getInt("n") != 1) method += " with other content";
                    bundle.close();
                }
                counts.merge(method, 1, Integer::sum);
            }
        });
        assertTrue(counting.bind());
        int[] result = TestNative.deliverMany(100_000);
        assertEquals(100_000, result[0]);
        assertArrayEquals(new int[] {0, 0, 0, 0, 0}, Arrays.copyOfRange(result, 2, 7),
                "local references left by a bool, long, double, string and bundle item");
        assertEquals(0, result[1], "local references left after all items");
        // Booleans alternate, whatever the item held before.
        assertEquals(Map.of("statusUpdateBoolFromNative true", 10_000,
                             "statusUpdateBoolFromNative false", 10_000,
                             "statusUpdateLongFromNative", 20_000,
                             "statusUpdateDoubleFromNative", 20_000,
                             "statusUpdateStringFromNative", 20_000,
                             "statusUpdateBundleFromNative", 20_000),
                counts);
    }
}
