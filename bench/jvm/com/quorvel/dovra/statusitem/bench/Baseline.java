package com.quorvel.dovra.statusitem.bench;

/** Natives of the benchmark-only library that the bundle's natives are measured against. */
final class Baseline {
    static {
        System.loadLibrary("statusitem_benchjni");
    }

    private Baseline() {}

    /** Takes and gives back the key's characters, as every put must. */
    static native void put(long handle, String key, int value);

    /** Takes and gives back the key's characters, as every get must. */
    static native int get(long handle, String key);

    /** Takes and gives back the characters of the key and, inside them, of the value. */
    static native void putText(long handle, String key, String value);

    /** Takes and gives back the key's characters, then makes a byte array of a short text. */
    static native byte[] getText(long handle, String key);

    /**
     * Delivers long items through the binder client from a native thread; returns that
     * thread's CPU nanoseconds, -1 if an item was refused.
     */
    static native long deliver(int count);

    /** Makes the same Java calls from a native thread without the binder client. */
    static native long deliverBare(int count);
}
