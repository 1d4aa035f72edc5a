package com.quorvel.dovra.statusitem;

import static org.junit.jupiter.api.Assertions.*;

import android.os.Parcel;
import java.lang.reflect.Method;
import java.lang.reflect.Modifier;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.Collections;
import java.util.List;
import java.util.Map;
import java.util.Set;
import java.util.TreeMap;
import java.util.function.LongConsumer;
import java.util.function.ObjIntConsumer;
import java.util.stream.IntStream;
import org.junit.jupiter.api.Test;

/**
 * The JNI local references each Bundle native holds, counted as the VM reports them just after
 * each JNI call that can make one: the -Xcheck:jni checker does not see them pile up, and
 * reachability cannot see a leaked reference to an element that the result also holds.
 */
class LocalReferencesTest {
    static {
        TestNative.load();
    }

    /** A class reference, the array being made or read and one element. */
    private static final int MOST_HELD = 3;

    /** Past the 16 references a native frame is promised. */
    private static final int LONG = 17;

    private static final String K = "k";

    private static String[] strings(int n) {
        return IntStream.range(0, n).mapToObj(i -> "s" + i).toArray(String[]::new);
    }

    private static void getAfter(
            Map<String, ObjIntConsumer<Bundle>> m, String kind, LongConsumer get) {
        ObjIntConsumer<Bundle> put = m.get("nativePut" + kind);
        m.put("nativeGet" + kind, (b, n) -> {
            put.accept(b, n);
            get.accept(b.handle());
        });
    }

    /** Each native that makes or receives Java objects, run with arrays of n elements. */
    private static Map<String, ObjIntConsumer<Bundle>> natives(Bundle inner) {
        Map<String, ObjIntConsumer<Bundle>> m = new TreeMap<>();
        m.put("nativeFromParcel", (b, n) -> {
            Parcel p = Parcel.obtain();
            b.putStringArray(K, strings(n));
            b.writeToParcel(p);
            p.setDataPosition(0);
            Bundle.nativeFree(Bundle.nativeFromParcel(p));
            p.recycle();
        });
        m.put("nativeToParcel", (b, n) -> {
            Parcel p = Parcel.obtain();
            Bundle.nativeToParcel(b.handle(), p);
            p.recycle();
        });
        m.put("nativePutBoolean", (b, n) -> Bundle.nativePutBoolean(b.handle(), K, true));
        m.put("nativePutInt", (b, n) -> Bundle.nativePutInt(b.handle(), K, n));
        m.put("nativePutLong", (b, n) -> Bundle.nativePutLong(b.handle(), K, n));
        m.put("nativePutDouble", (b, n) -> Bundle.nativePutDouble(b.handle(), K, n));
        m.put("nativePutString", (b, n) -> Bundle.nativePutString(b.handle(), K, "v"));
        m.put("nativePutBundle", (b, n) -> Bundle.nativePutBundle(b.handle(), K, inner.handle()));
        m.put("nativePutBooleanArray", (b, n) -> b.putBooleanArray(K, new boolean[n]));
        m.put("nativePutByteArray", (b, n) -> b.putByteArray(K, new byte[n]));
        m.put("nativePutShortArray", (b, n) -> b.putShortArray(K, new short[n]));
        m.put("nativePutIntArray", (b, n) -> b.putIntArray(K, new int[n]));
        m.put("nativePutDoubleArray", (b, n) -> b.putDoubleArray(K, new double[n]));
        m.put("nativePutStringArray", (b, n) -> b.putStringArray(K, strings(n)));
        m.put("nativePutBundleArray",
                (b, n) -> b.putBundleArray(K, Collections.nCopies(n, inner).toArray(Bundle[]::new)));
        m.put("nativeGetBoolean", (b, n) -> Bundle.nativeGetBoolean(b.handle(), K));
        m.put("nativeGetInt", (b, n) -> Bundle.nativeGetInt(b.handle(), K));
        m.put("nativeGetLong", (b, n) -> Bundle.nativeGetLong(b.handle(), K));
        m.put("nativeGetDouble", (b, n) -> Bundle.nativeGetDouble(b.handle(), K));
        // The other getters read what the put of their kind stored.
        getAfter(m, "String", h -> Bundle.nativeGetString(h, K));
        getAfter(m, "Bundle", h -> Bundle.nativeFree(Bundle.nativeGetBundle(h, K)));
        getAfter(m, "BooleanArray", h -> Bundle.nativeGetBooleanArray(h, K));
        getAfter(m, "ByteArray", h -> Bundle.nativeGetByteArray(h, K));
        getAfter(m, "ShortArray", h -> Bundle.nativeGetShortArray(h, K));
        getAfter(m, "IntArray", h -> Bundle.nativeGetIntArray(h, K));
        getAfter(m, "DoubleArray", h -> Bundle.nativeGetDoubleArray(h, K));
        getAfter(m, "StringArray", h -> Bundle.nativeGetStringArray(h, K));
        getAfter(m, "BundleArray", h -> {
            for (long element : Bundle.nativeGetBundleArray(h, K)) Bundle.nativeFree(element);
        });
        return m;
    }

    // Each native holds at most a few references at any moment, and as many for one
    // element as for many: one reference kept per element shows as a higher peak.
    @Test
    void everyNativeHoldsABoundedNumberWhateverTheLength() {
        List<String> failures = new ArrayList<>();
        int sampled = 0;
        try (Bundle inner = new Bundle()) {
            inner.putInt("i", 1);
            Map<String, ObjIntConsumer<Bundle>> natives = natives(inner);
            for (Method m : Bundle.class.getDeclaredMethods()) {
                boolean objects = !m.getReturnType().isPrimitive()
                        || Arrays.stream(m.getParameterTypes()).anyMatch(t -> !t.isPrimitive());
                if (!Modifier.isNative(m.getModifiers()) || !objects) continue;
                ObjIntConsumer<Bundle> call = natives.remove(m.getName());
                assertNotNull(call, m.getName() + " has no case");
                int[] peaks = new int[2];
                for (int i = 0; i < 2; i++) {
                    int n = i == 0 ? 1 : LONG;
                    try (Bundle b = new Bundle()) {
                        int[] peak = TestNative.peakLocalRefs(m, () -> call.accept(b, n));
                        peaks[i] = peak[0];
                        sampled += peak[1];
                    }
                }
                if (peaks[0] != peaks[1] || peaks[1] > MOST_HELD || peaks[0] < 0) {
                    failures.add(m.getName() + " holds " + peaks[0] + " at most for 1 element, "
                            + peaks[1] + " for " + LONG);
                }
            }
            assertEquals(Set.of(), natives.keySet(), "cases for no native");
        }
        assertEquals(List.of(), failures);
        assertTrue(sampled > 4 * LONG, "the counts were taken " + sampled + " times");
    }
}
