package com.quorvel.dovra.statusitem.bench;

import com.quorvel.dovra.statusitem.Bundle;
import com.quorvel.dovra.statusitem.StatusItemClient;
import java.io.IOException;
import java.io.PrintWriter;
import java.lang.management.ManagementFactory;
import java.lang.management.ThreadMXBean;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.Collections;
import java.util.HashMap;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.Random;

/**
 * Per-call costs of the Java bundle and of status item delivery, against the floors and
 * against java.util.HashMap. The cases of one group run side by side: after warm-up
 * rounds, every timed round runs each case once, so that load from elsewhere on the
 * machine falls on all of them alike. Times are the CPU time of the thread doing the
 * work; the median round is reported, in Google Benchmark's JSON layout, to the file
 * named by the first argument.
 */
public final class JvmBench {
    private static final int KEYS = 64;
    private static final int WARMUP_ROUNDS = 5;
    private static final int ROUNDS = 15;
    private static final int CALLS = 200_000;
    private static final int ITEMS = 50_000;

    private static final String[] KEY_NAMES = new String[KEYS];
    private static final String[] VALUES = new String[KEYS];
    private static final ThreadMXBean THREADS = ManagementFactory.getThreadMXBean();

    // Keys of one length that differ only in their digits hash in the order of their
    // numbers; set in that order they would form a chain. A fixed shuffle gives the
    // ordinary tree.
    static {
        List<String> keys = new ArrayList<>();
        for (int i = 0; i < KEYS; i++) keys.add("status.key." + (100 + i));
        Collections.shuffle(keys, new Random(20261206));
        for (int i = 0; i < KEYS; i++) {
            KEY_NAMES[i] = keys.get(i);
            VALUES[i] = "value-" + i;
        }
    }

    /** Runs `calls` operations and returns the CPU nanoseconds they took. */
    private interface Case {
        long run(int calls);
    }

    /** Runs `calls` operations on this thread; returns something depending on all of them. */
    private interface Body {
        long run(int calls);
    }

    private record Result(String name, double nanosPerCall) {}

    private static final List<Result> RESULTS = new ArrayList<>();
    private static long sink;

    private JvmBench() {}

    private static Case onThisThread(Body body) {
        return calls -> {
            long start = THREADS.getCurrentThreadCpuTime();
            sink += body.run(calls);
            return THREADS.getCurrentThreadCpuTime() - start;
        };
    }

    private static void measure(int calls, Map<String, Case> group) {
        for (int r = 0; r < WARMUP_ROUNDS; r++) {
            for (Case c : group.values()) c.run(calls);
        }
        Map<String, double[]> perCall = new LinkedHashMap<>();
        for (String name : group.keySet()) perCall.put(name, new double[ROUNDS]);
        for (int r = 0; r < ROUNDS; r++) {
            for (Map.Entry<String, Case> c : group.entrySet()) {
                long nanos = c.getValue().run(calls);
                if (nanos < 0) throw new IllegalStateException(c.getKey() + " failed");
                perCall.get(c.getKey())[r] = (double) nanos / calls;
            }
        }
        for (Map.Entry<String, double[]> e : perCall.entrySet()) {
            double[] times = e.getValue();
            Arrays.sort(times);
            RESULTS.add(new Result(e.getKey(), times[ROUNDS / 2]));
            System.out.printf("%-32s %10.1f ns%n", e.getKey(), times[ROUNDS / 2]);
        }
    }

    private static String key(int i) {
        return KEY_NAMES[i & (KEYS - 1)];
    }

    private static void bundleCases() {
        try (Bundle bundle = new Bundle()) {
            Map<String, Object> map = new HashMap<>();
            for (int i = 0; i < KEYS; i++) {
                bundle.putInt(KEY_NAMES[i], i);
                map.put(KEY_NAMES[i], i);
            }
            Map<String, Case> putInt = new LinkedHashMap<>();
            putInt.put("jvm/put_int/bundle", onThisThread(n -> {
                for (int i = 0; i < n; i++) bundle.putInt(key(i), i);
                return n;
            }));
            putInt.put("jvm/put_int/baseline", onThisThread(n -> {
                for (int i = 0; i < n; i++) Baseline.put(1, key(i), i);
                return n;
            }));
            putInt.put("jvm/put_int/hashmap", onThisThread(n -> {
                for (int i = 0; i < n; i++) map.put(key(i), i);
                return map.size();
            }));
            measure(CALLS, putInt);

            Map<String, Case> getInt = new LinkedHashMap<>();
            getInt.put("jvm/get_int/bundle", onThisThread(n -> {
                long s = 0;
                for (int i = 0; i < n; i++) s += bundle.getInt(key(i));
                return s;
            }));
            getInt.put("jvm/get_int/baseline", onThisThread(n -> {
                long s = 0;
                for (int i = 0; i < n; i++) s += Baseline.get(1, key(i));
                return s;
            }));
            getInt.put("jvm/get_int/hashmap", onThisThread(n -> {
                long s = 0;
                for (int i = 0; i < n; i++) s += (Integer) map.get(key(i));
                return s;
            }));
            measure(CALLS, getInt);

            Map<String, Case> putString = new LinkedHashMap<>();
            putString.put("jvm/put_string/bundle", onThisThread(n -> {
                for (int i = 0; i < n; i++) bundle.putString(key(i), VALUES[i & (KEYS - 1)]);
                return n;
            }));
            putString.put("jvm/put_string/baseline", onThisThread(n -> {
                for (int i = 0; i < n; i++) Baseline.put(1, key(i), i);
                return n;
            }));
            putString.put("jvm/put_string/frame", onThisThread(n -> {
                for (int i = 0; i < n; i++) Baseline.putText(1, key(i), VALUES[i & (KEYS - 1)]);
                return n;
            }));
            putString.put("jvm/put_string/hashmap", onThisThread(n -> {
                for (int i = 0; i < n; i++) map.put(key(i), VALUES[i & (KEYS - 1)]);
                return map.size();
            }));
            measure(CALLS, putString);

            Map<String, Case> getString = new LinkedHashMap<>();
            getString.put("jvm/get_string/bundle", onThisThread(n -> {
                long s = 0;
                for (int i = 0; i < n; i++) s += bundle.getString(key(i)).length();
                return s;
            }));
            getString.put("jvm/get_string_bytes/bundle", onThisThread(n -> {
                long s = 0;
                for (int i = 0; i < n; i++) s += bundle.getStringBytes(key(i)).length;
                return s;
            }));
            getString.put("jvm/get_string/baseline", onThisThread(n -> {
                long s = 0;
                for (int i = 0; i < n; i++) s += Baseline.get(1, key(i));
                return s;
            }));
            getString.put("jvm/get_string/frame", onThisThread(n -> {
                long s = 0;
                for (int i = 0; i < n; i++) s += Baseline.getText(1, key(i)).length;
                return s;
            }));
            getString.put("jvm/get_string/hashmap", onThisThread(n -> {
                long s = 0;
                for (int i = 0; i < n; i++) s += ((String) map.get(key(i))).length();
                return s;
            }));
            measure(CALLS, getString);
        }
    }

    private static void deliveryCases() {
        final long[] received = new long[1];
        StatusItemClient client = new StatusItemClient(new StatusItemClient.Listener() {
            @Override
            public void onBoolean(byte[] key, boolean value) {}

            @Override
            public void onLong(byte[] key, long value) {
                received[0] += key.length + value;
            }

            @Override
            public void onDouble(byte[] key, double value) {}

            @Override
            public void onString(byte[] key, byte[] value) {}

            @Override
            public void onBundle(byte[] key, Bundle value) {
                if (value != null) value.close();
            }
        });
        if (!client.bind()) throw new IllegalStateException("the status item client did not bind");
        Map<String, Case> delivery = new LinkedHashMap<>();
        delivery.put("jvm/status_update/binder", Baseline::deliver);
        delivery.put("jvm/status_update/bare", Baseline::deliverBare);
        measure(ITEMS, delivery);
        sink += received[0];
        StatusItemClient.unbind();
    }

    private static void write(Path path) throws IOException {
        try (PrintWriter out =
                new PrintWriter(Files.newBufferedWriter(path, StandardCharsets.UTF_8))) {
            out.println("{\"context\": {\"source\": \"JvmBench\"}, \"benchmarks\": [");
            for (int i = 0; i < RESULTS.size(); i++) {
                Result r = RESULTS.get(i);
                out.printf("  {\"name\": \"%s\", \"run_name\": \"%s\", \"run_type\": \"iteration\", "
                                + "\"iterations\": %d, \"real_time\": %.3f, \"cpu_time\": %.3f, "
                                + "\"time_unit\": \"ns\"}%s%n",
                        r.name(), r.name(), ROUNDS, r.nanosPerCall(), r.nanosPerCall(),
                        i + 1 < RESULTS.size() ? "," : "");
            }
            out.println("]}");
        }
    }

    public static void main(String[] args) throws IOException {
        bundleCases();
        deliveryCases();
        if (sink == 42) System.out.println();
        if (args.length > 0) write(Path.of(args[0]));
    }
}
