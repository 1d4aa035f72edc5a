package com.quorvel.dovra.statusitem;

import static java.nio.charset.StandardCharsets.UTF_8;
import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNotSame;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertSame;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.List;
import java.util.concurrent.atomic.AtomicInteger;
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
    void setIntMinusOneArrivesAsTheLongMinusOne() {
        assertTrue(TestNative.deliverSetInt("n", -1));
        Recorder.Event e = single();
        assertEquals("statusUpdateLongFromNative", e.method());
        assertEquals(-1L, e.value());
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
    void anEmptyBundleArrivesAsNull() {
        assertTrue(TestNative.deliverFields(bytes("b"), BUNDLE, 0, 0, null, 0, true));
        Recorder.Event e = single();
        assertEquals("statusUpdateBundleFromNative", e.method());
        assertNull(e.value());
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
    // an item took must be gone before the next, or the objects outlive the delivery.
    @Test
    void oneHundredThousandItemsFromANativeThread() {
        AtomicInteger[] counts = new AtomicInteger[5];
        for (int i = 0; i < 5; i++) counts[i] = new AtomicInteger();
        StatusItemClient counting = new StatusItemClient(new StatusItemClient.Listener() {
            @Override
            public void onBoolean(byte[] key, boolean value) {
                TestNative.track(key);
                counts[BOOL].incrementAndGet();
            }

            @Override
            public void onLong(byte[] key, long value) {
                TestNative.track(key);
                counts[LONG].incrementAndGet();
            }

            @Override
            public void onDouble(byte[] key, double value) {
                TestNative.track(key);
                counts[DOUBLE].incrementAndGet();
            }

            @Override
            public void onString(byte[] key, byte[] value) {
                TestNative.track(key);
                counts[STRING].incrementAndGet();
            }

            @Override
            public void onBundle(byte[] key, Bundle value) {
                TestNative.track(key);
                TestNative.track(value);
                if (value.getInt("n") == 1) counts[BUNDLE].incrementAndGet();
                value.close();
            }
        });
        assertTrue(counting.bind());
        int[] result = TestNative.deliverMany(100_000);
        assertEquals(100_000, result[0]);
        assertEquals(0, result[1], "keys and bundles still held after their delivery");
        for (AtomicInteger count : counts) assertEquals(20_000, count.get());
    }
}
