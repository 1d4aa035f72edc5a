package com.quorvel.dovra.statusitem;

import static org.junit.jupiter.api.Assertions.*;

import android.os.Parcel;
import java.lang.reflect.Method;
import java.lang.reflect.Modifier;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.Map;
import java.util.Set;
import java.util.TreeMap;
import java.util.function.ObjIntConsumer;
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

    /** Each native that makes or receives Java objects, run with arrays of n elements. */
    private static Map<String, ObjIntConsumer<Bundle>> natives() {
        Map<String, ObjIntConsumer<Bundle>> m = new TreeMap<>();
        Kind strings = Kind.called("StringArray");
        m.put("nativeFromParcel", (b, n) -> {
            Parcel p = Parcel.obtain();
            strings.put(b, K, n);
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
        // The getters read what the put of their kind stored.
        for (Kind kind : Kind.ALL) {
            m.put("nativePut" + kind.name(), (b, n) -> kind.put(b, K, n));
            m.put("nativeGet" + kind.name(), (b, n) -> {
                kind.put(b, K, n);
                kind.get().apply(b, K);
            });
        }
        return m;
    }

    // Each native holds at most a few references at any moment, and as many for one
    // element as for many: one reference kept per element shows as a higher peak.
    @Test
    void everyNativeHoldsABoundedNumberWhateverTheLength() {
        List<String> failures = new ArrayList<>();
        int sampled = 0;
        Map<String, ObjIntConsumer<Bundle>> natives = natives();
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
        assertEquals(List.of(), failures);
        assertTrue(sampled > 4 * LONG, "the counts were taken " + sampled + " times");
    }
}
