package com.quorvel.dovra.statusitem;

import java.lang.reflect.Method;
import java.util.ArrayList;
import java.util.List;

/**
 * The test-only native library: a producer of status items and a capture of the Android log.
 * It is loaded before libstatusitem.so, so the lines of the load entry are captured too.
 */
final class TestNative {
    record LogLine(int priority, String tag, String message) {}

    static final int WARN = 5;
    static final int ERROR = 6;

    /** What the library logged while it was loaded, and how the load ended. */
    static final List<LogLine> LOAD_LINES;

    static final Throwable LOAD_FAILURE;

    static {
        System.loadLibrary("statusitem_jvmtest");
        Throwable failure = null;
        try {
            NativeLibrary.load();
        } catch (Throwable t) {
            failure = t;
        }
        LOAD_FAILURE = failure;
        LOAD_LINES = List.copyOf(logLines());
    }

    private TestNative() {}

    static void load() {}

    /** The lines logged since the last call. */
    static List<LogLine> logLines() {
        List<LogLine> out = new ArrayList<>();
        for (String line : takeLogLines()) {
            String[] parts = line.split("\t", 3);
            out.add(new LogLine(Integer.parseInt(parts[0]), parts[1], parts[2]));
        }
        return out;
    }

    static native String[] takeLogLines();

    static native int refCount(long handle);

    /**
     * Delivers an item with its fields set directly: 1 for a true result, plus 2 for an
     * exception left pending, which is cleared (on the calling thread only).
     */
    static native int deliverFields(byte[] key, int type, long bits, double real, byte[] text,
            long bundleHandle, boolean onNativeThread);

    /**
     * Delivers items of the five kinds in turn from one native thread: {items delivered, JNI
     * local references the thread held after all, those each kind's first item left behind}.
     */
    static native int[] deliverMany(int count);

    static native Bundle wrapTree(long handle);

    static native long failAllocation();

    /**
     * {the most JNI local references the native {@code watched} held just after any JNI call
     * that can make one while {@code action} ran, how many such calls there were}.
     */
    static native int[] peakLocalRefs(Method watched, Runnable action);

    /** A new bundle that holds under "0" to "12" what the thirteen C++ getters read for the key. */
    static native long cppGetters(long handle, String key);

    static native int entryCount(long handle);
}
