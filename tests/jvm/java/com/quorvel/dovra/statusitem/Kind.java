package com.quorvel.dovra.statusitem;

import java.lang.reflect.Array;
import java.util.Arrays;
import java.util.HashMap;
import java.util.List;
import java.util.Map;
import java.util.function.BiFunction;

/**
 * The thirteen value kinds, each stored and read through the Java API. Sample n of a scalar kind
 * is element n of its base values (cycling); of an array kind, the first n of them (cycling), so
 * that samples 1 to 4 reach every extreme. Bundles are given and read back by their names.
 */
record Kind(String name, Object base, Put put, BiFunction<Bundle, String, Object> get) {
    interface Put {
        void put(Bundle b, String key, Object value);
    }

    static final List<Kind> ALL = List.of(
            new Kind("Boolean", new boolean[] {true, false}, (b, k, v) -> b.putBoolean(k, (Boolean) v),
                    Bundle::getBoolean),
            new Kind("Int", new int[] {-7, Integer.MIN_VALUE, Integer.MAX_VALUE},
                    (b, k, v) -> b.putInt(k, (Integer) v), Bundle::getInt),
            new Kind("Long", new long[] {(1L << 40) + 3, Long.MIN_VALUE, -1},
                    (b, k, v) -> b.putLong(k, (Long) v), Bundle::getLong),
            new Kind("Double", new double[] {2.5, -0.0, 0.1, Double.NaN},
                    (b, k, v) -> b.putDouble(k, (Double) v), Bundle::getDouble),
            new Kind("String", new String[] {"vé", "", "x"},
                    (b, k, v) -> b.putString(k, (String) v), Bundle::getString),
            new Kind("Bundle", new String[] {"inner", "other"}, (b, k, v) -> {
                try (Bundle x = named((String) v)) {
                    b.putBundle(k, x);
                }
            }, (b, k) -> name(b.getBundle(k))),
            new Kind("BooleanArray", new boolean[] {true, false, false, true},
                    (b, k, v) -> b.putBooleanArray(k, (boolean[]) v), Bundle::getBooleanArray),
            new Kind("ByteArray", new byte[] {-1, 0, 127, -128},
                    (b, k, v) -> b.putByteArray(k, (byte[]) v), Bundle::getByteArray),
            new Kind("ShortArray", new short[] {300, (short) 0xFFFE, Short.MAX_VALUE, Short.MIN_VALUE},
                    (b, k, v) -> b.putShortArray(k, (short[]) v), Bundle::getShortArray),
            new Kind("IntArray", new int[] {-1, Integer.MAX_VALUE, Integer.MIN_VALUE},
                    (b, k, v) -> b.putIntArray(k, (int[]) v), Bundle::getIntArray),
            new Kind("DoubleArray", new double[] {0.1, -0.0, Double.NaN, -2.2},
                    (b, k, v) -> b.putDoubleArray(k, (double[]) v), Bundle::getDoubleArray),
            new Kind("StringArray", new String[] {"a", "", "bcé"},
                    (b, k, v) -> b.putStringArray(k, (String[]) v), Bundle::getStringArray),
            new Kind("BundleArray", new String[] {"a", "bc"}, (b, k, v) -> {
                // One Bundle per name: from three elements on, one object stands twice.
                Map<String, Bundle> made = new HashMap<>();
                b.putBundleArray(k, Arrays.stream((String[]) v)
                        .map(name -> made.computeIfAbsent(name, Kind::named)).toArray(Bundle[]::new));
                made.values().forEach(Bundle::close);
            }, (b, k) -> {
                Bundle[] xs = b.getBundleArray(k);
                return xs == null ? null : Arrays.stream(xs).map(Kind::name).toArray(String[]::new);
            }));

    static Kind called(String name) {
        return ALL.stream().filter(k -> k.name.equals(name)).findFirst().orElseThrow();
    }

    Object sample(int n) {
        int length = Array.getLength(base);
        if (!name.endsWith("Array")) return Array.get(base, n % length);
        Object out = Array.newInstance(base.getClass().getComponentType(), n);
        for (int i = 0; i < n; i++) Array.set(out, i, Array.get(base, i % length));
        return out;
    }

    void put(Bundle b, String key, int n) {
        put.put(b, key, sample(n));
    }

    /** Two entries, so that a nested bundle never counts as many entries as its parent. */
    static Bundle named(String name) {
        Bundle b = new Bundle();
        b.putString("name", name);
        b.putBoolean("nested", true);
        return b;
    }

    /** The name of a bundle read back, which is closed. */
    static String name(Bundle b) {
        if (b == null) return null;
        try (b) {
            return b.getString("name");
        }
    }
}
