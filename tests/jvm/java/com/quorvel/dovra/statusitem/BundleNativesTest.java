package com.quorvel.dovra.statusitem;

import static org.junit.jupiter.api.Assertions.*;

import java.lang.reflect.Array;
import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.lang.reflect.Modifier;
import java.util.Arrays;
import java.util.List;
import java.util.Objects;
import java.util.function.BiFunction;
import org.junit.jupiter.api.Test;

class BundleNativesTest {
    static {
        TestNative.load();
    }

    /** Zero for a primitive, null for an object; with `filled`, a value that would be stored. */
    private static Object argument(Class<?> type, boolean filled) {
        if (type == long.class) return 0L;
        if (type == int.class) return filled ? 5 : 0;
        if (type == boolean.class) return filled;
        if (type == double.class) return filled ? 1.0 : 0.0;
        if (!filled) return null;
        return type == String.class ? "v" : Array.newInstance(type.getComponentType(), 1);
    }

    private static Object invoke(Method m, Object[] args) throws Exception {
        try {
            return m.invoke(null, args);
        } catch (InvocationTargetException e) {
            throw new AssertionError(m.getName(), e.getCause());
        }
    }

    // Every native is registered (no UnsatisfiedLinkError) and gives its neutral result for
    // handle 0, and for a null key, which stores nothing.
    @Test
    void allThirtyNativesAreRegisteredAndNeutralForHandleZeroAndANullKey() throws Exception {
        List<Method> natives = Arrays.stream(Bundle.class.getDeclaredMethods())
                                       .filter(m -> Modifier.isNative(m.getModifiers()))
                                       .toList();
        assertEquals(30, natives.size());
        try (Bundle b = new Bundle()) {
            for (Method m : natives) {
                Class<?>[] types = m.getParameterTypes();
                Object neutral = argument(m.getReturnType(), false);
                Object result = invoke(m, Arrays.stream(types).map(t -> argument(t, false)).toArray());
                if (m.getName().equals("nativeCreateBundle")) {
                    assertNotEquals(0L, result);
                    Bundle.nativeFree((Long) result);
                } else if (m.getReturnType() != void.class) {
                    assertEquals(neutral, result, m.getName());
                }
                if (types.length < 2 || types[1] != String.class) continue;
                Object[] args = Arrays.stream(types).map(t -> argument(t, true)).toArray();
                args[0] = b.handle();
                args[1] = null;
                if (m.getReturnType() != void.class) assertEquals(neutral, invoke(m, args), m.getName());
            }
            assertEquals(0, TestNative.entryCount(b.handle()));
            assertThrows(NullPointerException.class, () -> b.putInt(null, 1));
        }
    }

    @Test
    void stringsTravelAsModifiedUtf8Bytes() {
        try (Bundle b = new Bundle()) {
            b.putString("s", "a\0b\uD83D\uDE00é");
            // NUL and the supplementary character take their modified UTF-8 forms.
            assertArrayEquals(new byte[] {'a', (byte) 0xC0, (byte) 0x80, 'b', (byte) 0xED,
                                      (byte) 0xA0, (byte) 0xBD, (byte) 0xED, (byte) 0xB8,
                                      (byte) 0x80, (byte) 0xC3, (byte) 0xA9},
                    b.getStringBytes("s"));
            assertArrayEquals(new byte[0], b.getStringBytes("missing"));
            Bundle.nativePutString(b.handle(), "s", null);
            assertEquals("a\0b\uD83D\uDE00é", b.getString("s"));
        }
    }

    @Test
    void emptyArraysAndNullElementsFollowTheirKind() {
        try (Bundle b = new Bundle()) {
            b.putIntArray("i", new int[] {4});
            b.putIntArray("i", new int[0]); // an empty primitive array stores nothing
            Bundle.nativePutIntArray(b.handle(), "i", null);
            assertArrayEquals(new int[] {4}, b.getIntArray("i"));
            b.putByteArray("b", new byte[0]);
            assertNull(b.getByteArray("b"));
            b.putStringArray("s", new String[] {"x"});
            b.putStringArray("s", new String[0]); // an empty string array replaces
            assertNull(b.getStringArray("s"));
            b.putBundleArray("a", new Bundle[0]);
            assertNull(b.getBundleArray("a"));
            b.putStringArray("s", new String[] {"one", null, "three"});
            assertArrayEquals(new String[] {"one", "three"}, b.getStringArray("s"));
        }
    }

    /** A nested bundle as the bytes of its name (see Kind.named), freed. */
    private static Object nameOf(long handle) {
        if (handle == 0) return null;
        byte[] name = Bundle.nativeGetString(handle, "name");
        Bundle.nativeFree(handle);
        return name;
    }

    /** The thirteen getter natives, in the order of TestNative.cppGetters; bundles by name. */
    private static final List<BiFunction<Long, String, Object>> GETTERS = List.of(
            Bundle::nativeGetBoolean, Bundle::nativeGetInt, Bundle::nativeGetLong,
            Bundle::nativeGetDouble, Bundle::nativeGetString,
            (h, k) -> nameOf(Bundle.nativeGetBundle(h, k)), Bundle::nativeGetBooleanArray,
            Bundle::nativeGetByteArray, Bundle::nativeGetShortArray, Bundle::nativeGetIntArray,
            Bundle::nativeGetDoubleArray, Bundle::nativeGetStringArray, (h, k) -> {
                long[] handles = Bundle.nativeGetBundleArray(h, k);
                return handles == null ? null
                                       : Arrays.stream(handles).mapToObj(BundleNativesTest::nameOf).toArray();
            });

    // A key stored as one kind and then as another reads back what was stored last, and reads
    // through each getter native what the library's own getter reads: natives that read a
    // node's fields themselves must not see what the earlier kind left there differently.
    @Test
    void everyGetterAfterAKindChangeReadsWhatTheLibraryReads() {
        for (Kind first : Kind.ALL) {
            for (Kind then : Kind.ALL) {
                try (Bundle b = new Bundle()) {
                    first.put(b, "k", 3);
                    then.put(b, "k", 2);
                    String what = first.name() + " then " + then.name();
                    assertTrue(Objects.deepEquals(then.sample(2), then.get().apply(b, "k")), what);
                    long library = TestNative.cppGetters(b.handle(), "k");
                    for (int i = 0; i < GETTERS.size(); i++) {
                        Object expected = GETTERS.get(i).apply(library, String.valueOf(i));
                        Object got = GETTERS.get(i).apply(b.handle(), "k");
                        assertTrue(Objects.deepEquals(expected, got), what + ": getter " + i + " read "
                                + Arrays.deepToString(new Object[] {got}) + ", the library "
                                + Arrays.deepToString(new Object[] {expected}));
                    }
                    Bundle.nativeFree(library);
                }
            }
        }
    }

    // Neither storing nor reading a nested bundle keeps a reference beyond the handle given.
    @Test
    void nestedBundlesAreSnapshots() {
        try (Bundle outer = new Bundle(); Bundle inner = new Bundle()) {
            inner.putInt("v", 1);
            outer.putBundle("in", inner);
            inner.putInt("v", 2);
            assertEquals(1, TestNative.refCount(inner.handle()));
            try (Bundle copy = outer.getBundle("in")) {
                assertEquals(1, copy.getInt("v"));
                assertNotEquals(inner.handle(), copy.handle());
                assertEquals(1, TestNative.refCount(copy.handle()));
                assertEquals(1, TestNative.refCount(outer.handle()));
            }
            Bundle.nativePutBundle(outer.handle(), "zero", 0);
            assertEquals(0L, Bundle.nativeGetBundle(outer.handle(), "zero"));
        }
    }

    @Test
    void bundleArraysKeepPositionsOfEmptyAndClosedBundles() {
        Bundle full = Kind.named("v");
        Bundle closed = Kind.named("c");
        closed.close();
        try (full; Bundle empty = new Bundle(); Bundle b = new Bundle()) {
            b.putBundleArray("a", new Bundle[] {full, empty, null, closed, full});
            long[] handles = Bundle.nativeGetBundleArray(b.handle(), "a");
            assertEquals(4, handles.length);
            assertEquals(0L, handles[1]);
            assertEquals(0L, handles[2]);
            assertEquals(1, TestNative.refCount(handles[0]));
            assertNotEquals(handles[0], handles[3]);
            for (long h : handles) Bundle.nativeFree(h);
            assertArrayEquals(new String[] {"v", null, null, "v"},
                    (Object[]) Kind.called("BundleArray").get().apply(b, "a"));
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
        assertNotNull(assertThrows(OutOfMemoryError.class, TestNative::failAllocation).getMessage());
    }
}
