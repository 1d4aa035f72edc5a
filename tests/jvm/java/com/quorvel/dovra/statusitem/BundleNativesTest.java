package com.quorvel.dovra.statusitem;

import static java.nio.charset.StandardCharsets.UTF_8;
import static java.util.stream.Collectors.joining;
import static org.junit.jupiter.api.Assertions.*;

import java.lang.reflect.Array;
import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.lang.reflect.Modifier;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.HexFormat;
import java.util.List;
import java.util.function.Consumer;
import java.util.function.IntFunction;
import java.util.stream.IntStream;
import org.junit.jupiter.api.Test;

class BundleNativesTest {
    static {
        TestNative.load();
    }

    private static Object neutralArgument(Class<?> type) {
        if (type == long.class) return 0L;
        if (type == int.class) return 0;
        if (type == boolean.class) return false;
        if (type == double.class) return 0.0;
        return null;
    }

    // Handle 0 with a null key: every native is registered (no UnsatisfiedLinkError),
    // returns its neutral result and never reads the key.
    @Test
    void allThirtyNativesAreRegisteredAndNeutralForHandleZero() throws Exception {
        List<Method> natives = new ArrayList<>();
        for (Method m : Bundle.class.getDeclaredMethods()) {
            if (Modifier.isNative(m.getModifiers())) natives.add(m);
        }
        assertEquals(30, natives.size());
        for (Method m : natives) {
            Object[] args = Arrays.stream(m.getParameterTypes())
                                    .map(BundleNativesTest::neutralArgument)
                                    .toArray();
            Object result;
            try {
                result = m.invoke(null, args);
            } catch (InvocationTargetException e) {
                throw new AssertionError(m.getName(), e.getCause());
            }
            if (m.getName().equals("nativeCreateBundle")) {
                assertTrue((Long) result != 0L);
                Bundle.nativeFree((Long) result);
            } else if (m.getReturnType() != void.class) {
                assertEquals(neutralArgument(m.getReturnType()), result, m.getName());
            }
        }
    }

    @Test
    void scalarsRoundTripTheirExtremes() {
        try (Bundle b = new Bundle()) {
            b.putBoolean("t", true);
            b.putInt("i", Integer.MIN_VALUE);
            b.putLong("l", Long.MIN_VALUE);
            b.putDouble("d", -0.0);
            b.putDouble("tenth", 0.1);
            b.putDouble("nan", Double.NaN);
            assertTrue(b.getBoolean("t"));
            assertEquals(Integer.MIN_VALUE, b.getInt("i"));
            assertEquals(Long.MIN_VALUE, b.getLong("l"));
            assertEquals(Double.doubleToRawLongBits(-0.0), Double.doubleToRawLongBits(b.getDouble("d")));
            assertTrue(Double.isNaN(b.getDouble("nan")));
            assertEquals(0.1, b.getDouble("tenth"));
        }
    }

    @Test
    void nullKeyStoresNothingAndReadsNeutral() {
        try (Bundle b = new Bundle()) {
            long h = b.handle();
            Bundle.nativePutInt(h, null, 5);
            Bundle.nativePutIntArray(h, null, new int[] {1});
            assertEquals(0, Bundle.nativeGetInt(h, null));
            assertNull(Bundle.nativeGetString(h, null));
            assertNull(Bundle.nativeGetIntArray(h, null));
            assertThrows(NullPointerException.class, () -> b.putInt(null, 1));
        }
    }

    @Test
    void stringsTravelAsModifiedUtf8Bytes() {
        try (Bundle b = new Bundle()) {
            b.putString("s", "a\0b\uD83D\uDE00é");
            b.putString("empty", "");
            assertEquals("a\0b\uD83D\uDE00é", b.getString("s"));
            // NUL and the supplementary character take their modified UTF-8 forms.
            assertArrayEquals(new byte[] {'a', (byte) 0xC0, (byte) 0x80, 'b', (byte) 0xED,
                                      (byte) 0xA0, (byte) 0xBD, (byte) 0xED, (byte) 0xB8,
                                      (byte) 0x80, (byte) 0xC3, (byte) 0xA9},
                    b.getStringBytes("s"));
            assertArrayEquals(new byte[0], b.getStringBytes("empty"));
            Bundle.nativePutString(b.handle(), "s", null);
            assertEquals("a\0b\uD83D\uDE00é", b.getString("s"));
        }
    }

    @Test
    void emptyAndMissingArraysReadAsNull() {
        try (Bundle b = new Bundle()) {
            b.putIntArray("i", new int[] {4});
            b.putIntArray("i", new int[0]); // an empty primitive array stores nothing
            assertArrayEquals(new int[] {4}, b.getIntArray("i"));
            b.putByteArray("b", new byte[0]);
            assertNull(b.getByteArray("b"));
            b.putStringArray("s", new String[] {"x"});
            b.putStringArray("s", new String[0]); // an empty string array replaces
            assertNull(b.getStringArray("s"));
            b.putBundleArray("a", new Bundle[0]);
            assertNull(b.getBundleArray("a"));
            Bundle.nativePutIntArray(b.handle(), "i", null);
            assertArrayEquals(new int[] {4}, b.getIntArray("i"));
        }
    }

    @Test
    void stringArraysSkipNullElements() {
        try (Bundle b = new Bundle()) {
            b.putStringArray("s", new String[] {"one", null, "three"});
            assertArrayEquals(new String[] {"one", "three"}, b.getStringArray("s"));
            byte[][] raw = Bundle.nativeGetStringArray(b.handle(), "s");
            assertArrayEquals("one".getBytes(UTF_8), raw[0]);
        }
    }

    private static String hex(byte[] bytes) {
        return bytes == null ? "-" : HexFormat.of().formatHex(bytes);
    }

    private static String bits(double value) {
        return Long.toHexString(Double.doubleToRawLongBits(value));
    }

    private static String nested(long handle) {
        if (handle == 0) return "-";
        String text = "bundle " + TestNative.entryCount(handle);
        Bundle.nativeFree(handle);
        return text;
    }

    /** Null as "-", else the elements' texts joined by commas. */
    private static String list(Object array, IntFunction<String> element) {
        if (array == null) return "-";
        return IntStream.range(0, Array.getLength(array)).mapToObj(element).collect(joining(","));
    }

    /** What the thirteen getter natives return, in the text form of TestNative.cppGetters. */
    private static String[] nativeGetters(long h, String k) {
        boolean[] bools = Bundle.nativeGetBooleanArray(h, k);
        byte[] bytes = Bundle.nativeGetByteArray(h, k);
        short[] words = Bundle.nativeGetShortArray(h, k);
        int[] ints = Bundle.nativeGetIntArray(h, k);
        double[] doubles = Bundle.nativeGetDoubleArray(h, k);
        byte[][] strings = Bundle.nativeGetStringArray(h, k);
        long[] bundles = Bundle.nativeGetBundleArray(h, k);
        return new String[] {
            String.valueOf(Bundle.nativeGetBoolean(h, k)),
            String.valueOf(Bundle.nativeGetInt(h, k)),
            String.valueOf(Bundle.nativeGetLong(h, k)),
            bits(Bundle.nativeGetDouble(h, k)),
            hex(Bundle.nativeGetString(h, k)),
            nested(Bundle.nativeGetBundle(h, k)),
            list(bools, i -> String.valueOf(bools[i])),
            list(bytes, i -> String.valueOf(Byte.toUnsignedInt(bytes[i]))),
            list(words, i -> String.valueOf(Short.toUnsignedInt(words[i]))),
            list(ints, i -> String.valueOf(ints[i])),
            list(doubles, i -> bits(doubles[i])),
            list(strings, i -> hex(strings[i])),
            list(bundles, i -> nested(bundles[i])),
        };
    }

    // A key stored as one kind and then as another reads through each getter native what
    // the library's own getter reads: natives that read a node's fields themselves must
    // not see what the earlier kind left there differently.
    @Test
    void everyGetterAfterAKindChangeReadsWhatTheLibraryReads() {
        try (Bundle inner = new Bundle()) {
            inner.putInt("a", 1);
            inner.putInt("b", 2);
            List<Consumer<Bundle>> kinds = List.of(
                    b -> b.putBoolean("k", true),
                    b -> b.putInt("k", -7),
                    b -> b.putLong("k", (1L << 40) + 3),
                    b -> b.putDouble("k", 2.5),
                    b -> b.putString("k", "vé"),
                    b -> b.putBundle("k", inner),
                    b -> b.putBooleanArray("k", new boolean[] {true, false, true}),
                    b -> b.putByteArray("k", new byte[] {1, (byte) 0xFF}),
                    b -> b.putShortArray("k", new short[] {300, (short) 0xFFFE}),
                    b -> b.putIntArray("k", new int[] {1, -2, 3}),
                    b -> b.putDoubleArray("k", new double[] {0.5, -1}),
                    b -> b.putStringArray("k", new String[] {"a", "bc"}),
                    b -> b.putBundleArray("k", new Bundle[] {inner, new Bundle(), inner}));
            for (int first = 0; first < kinds.size(); first++) {
                for (int then = 0; then < kinds.size(); then++) {
                    try (Bundle b = new Bundle()) {
                        kinds.get(first).accept(b);
                        kinds.get(then).accept(b);
                        assertArrayEquals(TestNative.cppGetters(b.handle(), "k"),
                                nativeGetters(b.handle(), "k"), "kind " + first + " then " + then);
                    }
                }
            }
        }
    }

    @Test
    void nestedBundlesAreSnapshots() {
        try (Bundle outer = new Bundle(); Bundle inner = new Bundle()) {
            inner.putInt("v", 1);
            outer.putBundle("in", inner);
            inner.putInt("v", 2);
            try (Bundle copy = outer.getBundle("in")) {
                assertEquals(1, copy.getInt("v"));
            }
            Bundle.nativePutBundle(outer.handle(), "zero", 0);
            assertEquals(0L, Bundle.nativeGetBundle(outer.handle(), "zero"));
            assertNull(outer.getBundle("missing"));
        }
    }

    @Test
    void bundleArraysKeepPositionsOfEmptyAndClosedBundles() {
        Bundle full = new Bundle();
        Bundle empty = new Bundle();
        Bundle closed = new Bundle();
        full.putString("k", "v");
        closed.close();
        try (Bundle b = new Bundle()) {
            b.putBundleArray("a", new Bundle[] {full, empty, null, closed, full});
            long[] handles = Bundle.nativeGetBundleArray(b.handle(), "a");
            assertEquals(4, handles.length);
            assertEquals(0L, handles[1]);
            assertEquals(0L, handles[2]);
            assertEquals(1, TestNative.refCount(handles[0]));
            assertTrue(handles[0] != handles[3]);
            Bundle[] back = b.getBundleArray("a");
            assertEquals("v", back[3].getString("k"));
            assertNull(back[1]);
            for (long h : handles) Bundle.nativeFree(h);
            back[0].close();
            back[3].close();
        } finally {
            full.close();
            empty.close();
        }
    }

    @Test
    void aClosedBundleIgnoresPutsAndReadsEmpty() {
        Bundle b = new Bundle();
        b.putInt("i", 1);
        b.close();
        b.close();
        assertTrue(b.isClosed());
        b.putInt("i", 2);
        assertEquals(0, b.getInt("i"));
        assertNull(b.getStringBytes("s"));
    }

    @Test
    void aFailedAllocationBecomesAPendingOutOfMemoryError() {
        OutOfMemoryError e = assertThrows(OutOfMemoryError.class, TestNative::failAllocation);
        assertNotNull(e.getMessage());
    }
}
