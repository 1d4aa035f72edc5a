package com.quorvel.dovra.statusitem;

/** A Bundle class that breaks the contract: it has no mNativePtr field. */
public final class Bundle {
    static {
        NativeLibrary.load();
    }

    private Bundle(long handle) {}

    static native long nativeCreateBundle();
}
