package com.quorvel.dovra.statusitem;

import static java.nio.charset.StandardCharsets.UTF_8;
import static org.junit.jupiter.api.Assertions.*;

import java.util.Arrays;
import java.util.List;
import java.util.Map;
import java.util.Objects;
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
        assertTrue(mRecorder.client().bind());
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

    // Each kind reaches its callback on the producer's thread: a native one, or the calling
    // Java thread. A string is cut at its first NUL but a key arrives whole; an unknown type
    // is logged and reaches no callback.
    @Test
    void eachKindReachesItsCallbackOnTheProducersThread() {
        byte[] key = {'k', 0, 'y'};
        TestNative.LogLine unknown =
                new TestNative.LogLine(TestNative.WARN, "StatusItemNative", "Unknown item value type");
        Object[][] cases = {
            {BOOL, 1L, 0.0, null, key, true, "onBoolean", true},
            {BOOL, 0L, 0.0, null, key, false, "onBoolean", false},
            {LONG, Long.MIN_VALUE, 0.0, null, key, true, "onLong", Long.MIN_VALUE},
            {LONG, -1L, 0.0, null, key, false, "onLong", -1L},
            {DOUBLE, 0L, -1.1, null, key, true, "onDouble", -1.1},
            {STRING, 0L, 0.0, new byte[] {'a', 'b', 0, 'c'}, key, false, "onString", bytes("ab")},
            {STRING, 0L, 0.0, new byte[0], new byte[0], true, "onString", new byte[0]},
            {BUNDLE, 0L, 0.0, null, key, true, "onBundle", null}, // empty: no object
            {5, 0L, 0.0, null, key, true, null, null},
            {-1, 0L, 0.0, null, key, true, null, null},
            {Integer.MIN_VALUE, 0L, 0.0, null, key, false, null, null},
        };
        for (Object[] c : cases) {
            String what = Arrays.deepToString(c);
            boolean onNativeThread = (Boolean) c[5];
            assertEquals(1, TestNative.deliverFields((byte[]) c[4], (Integer) c[0], (Long) c[1],
                                    (Double) c[2], (byte[]) c[3], 0, onNativeThread), what);
            if (c[6] == null) {
                assertEquals(List.of(), mRecorder.take(), what);
                assertEquals(List.of(unknown), TestNative.logLines(), what);
                continue;
            }
            Recorder.Event e = single();
            assertEquals(c[6], e.method(), what);
            assertArrayEquals((byte[]) c[4], e.key(), what);
            assertTrue(Objects.deepEquals(c[7], e.value()), what);
            // A native thread is attached for its items and detached when it ends.
            assertEquals(onNativeThread, Thread.currentThread() != e.thread(), what);
            assertEquals(!onNativeThread, e.thread().isAlive(), what);
            assertEquals(List.of(), TestNative.logLines(), what);
        }
    }

    @Test
    void listenersDecodeUtf8AndModifiedUtf8() {
        assertEquals("a\0b", Text.decode(new byte[] {'a', (byte) 0xC0, (byte) 0x80, 'b'}));
        assertEquals("\uD83D\uDE00",
                Text.decode(new byte[] {(byte) 0xF0, (byte) 0x9F, (byte) 0x98, (byte) 0x80}));
        assertEquals("\uFFFDx", Text.decode(new byte[] {(byte) 0xE2, 'x'}));
    }

    @Test
    void aBundleArrivesSharingTheItemsContent() {
        try (Bundle source = new Bundle()) {
            source.putString("s", "v");
            long h = source.handle();
            assertEquals(1, TestNative.deliverFields(bytes("b"), BUNDLE, 0, 0, null, h, true));
            Recorder.Event e = single();
            assertEquals("onBundle", e.method());
            Bundle got = (Bundle) e.value();
            assertEquals(h, got.handle());
            assertEquals(2, TestNative.refCount(h)); // the item is gone, the Java one stays
            assertEquals("v", got.getString("s"));
            got.putInt("back", 1);
            assertEquals(1, source.getInt("back"));
            got.close();
            got.close(); // the handle is given back exactly once
            assertEquals(1, TestNative.refCount(h));
        }
    }

    @Test
    void anUnboundClientGetsNothing() {
        StatusItemClient.unbind();
        assertEquals(0, TestNative.deliverFields(bytes("k"), LONG, 1, 0, null, 0, true));
        assertEquals(List.of(), mRecorder.take());
        assertEquals(List.of(new TestNative.LogLine(TestNative.ERROR, "StatusItemNative",
                             "StatusItem Binder native interface is not initialized yet")),
                TestNative.logLines());
        assertFalse(BinderClients.bind("no.such.Client", mRecorder.client()));
    }

    @Test
    void aThrowingCallbackLeavesItsExceptionPendingAndTheResultTrue() {
        assertTrue(Recorder.client(e -> {
            throw new IllegalStateException("callback failed");
        }).bind());
        assertEquals(3, TestNative.deliverFields(bytes("k"), LONG, 1, 0, null, 0, false));
        assertTrue(mRecorder.client().bind());
        assertEquals(1, TestNative.deliverFields(bytes("k"), LONG, 2, 0, null, 0, false));
        assertEquals(2L, single().value());
    }

    // One native thread that never returns to Java between items: every local reference
    // an item took must be gone before the next, whatever its kind.
    @Test
    void oneHundredThousandItemsFromANativeThread() {
        Map<String, Integer> counts = new ConcurrentHashMap<>();
        assertTrue(Recorder.client(e -> {
            String method = e.method();
            if (e.value() instanceof Boolean) method += " " + e.value();
            if (e.value() instanceof Bundle bundle) {
                if (bundle.getInt("n") != 1) method += " with other content";
                bundle.close();
            }
            counts.merge(method, 1, Integer::sum);
        }).bind());
        int[] result = TestNative.deliverMany(100_000);
        assertEquals(100_000, result[0]);
        assertArrayEquals(new int[] {0, 0, 0, 0, 0}, Arrays.copyOfRange(result, 2, 7),
                "local references left by a bool, long, double, string and bundle item");
        assertEquals(0, result[1], "local references left after all items");
        assertEquals(1, result[7], "the thread keeps the environment it was attached with");
        // Booleans alternate, whatever the item held before.
        assertEquals(Map.of("onBoolean true", 10_000, "onBoolean false", 10_000, "onLong", 20_000,
                             "onDouble", 20_000, "onString", 20_000, "onBundle", 20_000),
                counts);
    }
}
