package com.quorvel.dovra.statusitem;

import android.os.Parcel;

/** A Bundle class whose (long) constructor refuses every handle it is given. */
public final class Bundle {
    static {
        NativeLibrary.load();
    }

    @SuppressWarnings("unused") // read by the native library
    private long mNativePtr;

    private Bundle(long handle) {
        throw new IllegalStateException("refused");
    }

    static native long nativeCreateBundle();

    static native void nativeFree(long handle);

    static native long nativeFromParcel(Parcel parcel);

    static native void nativeToParcel(long handle, Parcel parcel);

    static native void nativePutBoolean(long handle, String key, boolean value);

    static native void nativePutInt(long handle, String key, int value);

    static native void nativePutLong(long handle, String key, long value);

    static native void nativePutDouble(long handle, String key, double value);

    static native void nativePutString(long handle, String key, String value);

    static native void nativePutBundle(long handle, String key, long valueHandle);

    static native void nativePutBooleanArray(long handle, String key, boolean[] values);

    static native void nativePutByteArray(long handle, String key, byte[] values);

    static native void nativePutShortArray(long handle, String key, short[] values);

    static native void nativePutIntArray(long handle, String key, int[] values);

    static native void nativePutDoubleArray(long handle, String key, double[] values);

    static native void nativePutStringArray(long handle, String key, String[] values);

    static native void nativePutBundleArray(long handle, String key, Bundle[] values);

    static native boolean nativeGetBoolean(long handle, String key);

    static native int nativeGetInt(long handle, String key);

    static native long nativeGetLong(long handle, String key);

    static native double nativeGetDouble(long handle, String key);

    static native byte[] nativeGetString(long handle, String key);

    static native long nativeGetBundle(long handle, String key);

    static native boolean[] nativeGetBooleanArray(long handle, String key);

    static native byte[] nativeGetByteArray(long handle, String key);

    static native short[] nativeGetShortArray(long handle, String key);

    static native int[] nativeGetIntArray(long handle, String key);

    static native double[] nativeGetDoubleArray(long handle, String key);

    static native byte[][] nativeGetStringArray(long handle, String key);

    static native long[] nativeGetBundleArray(long handle, String key);
}
