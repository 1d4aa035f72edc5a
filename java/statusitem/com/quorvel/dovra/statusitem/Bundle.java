package com.quorvel.dovra.statusitem;

import android.os.Parcel;
import java.lang.ref.Cleaner;
import java.lang.ref.Reference;
import java.util.Objects;

/**
 * A typed key/value container whose content lives in native memory. The object owns one
 * reference of the native content and gives it back exactly once, by {@link #close()} or, as
 * a safety net, when it becomes unreachable. A closed bundle reads as empty and ignores puts.
 *
 * <p>Strings are stored as the VM's modified UTF-8 bytes; nested bundles and bundle arrays are
 * stored as snapshots, so later changes to the source are not seen.
 */
public final class Bundle implements AutoCloseable {
    static {
        NativeLibrary.load();
    }

    private static final Cleaner CLEANER = Cleaner.create();

    /** The bundle handle: the native content's address, 0 once closed. */
    private long mNativePtr;

    private final Cleaner.Cleanable mCleanable;

    public Bundle() {
        this(nativeCreateBundle());
    }

    /**
     * Takes the handle over. Registering the safety net is the last act, so a constructor that
     * fails never owns the handle and the caller gives it back.
     */
    private Bundle(long handle) {
        mNativePtr = handle;
        mCleanable = CLEANER.register(this, new Release(handle));
    }

    /** Reads a bundle from the parcel's current position; unreadable content gives an empty one. */
    public static Bundle readFromParcel(Parcel parcel) {
        return adopt(nativeFromParcel(Objects.requireNonNull(parcel, "parcel")));
    }

    /** Appends this bundle's encoding at the parcel's current position. */
    public void writeToParcel(Parcel parcel) {
        Objects.requireNonNull(parcel, "parcel");
        try {
            nativeToParcel(mNativePtr, parcel);
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    @Override
    public void close() {
        mNativePtr = 0;
        mCleanable.clean();
    }

    public boolean isClosed() {
        return mNativePtr == 0;
    }

    long handle() {
        return mNativePtr;
    }

    public void putBoolean(String key, boolean value) {
        try {
            nativePutBoolean(mNativePtr, checked(key), value);
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    public void putInt(String key, int value) {
        try {
            nativePutInt(mNativePtr, checked(key), value);
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    public void putLong(String key, long value) {
        try {
            nativePutLong(mNativePtr, checked(key), value);
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    public void putDouble(String key, double value) {
        try {
            nativePutDouble(mNativePtr, checked(key), value);
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    public void putString(String key, String value) {
        try {
            nativePutString(mNativePtr, checked(key), Objects.requireNonNull(value, "value"));
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    /** Stores a snapshot of {@code value}'s current content. */
    public void putBundle(String key, Bundle value) {
        try {
            nativePutBundle(mNativePtr, checked(key), value.mNativePtr);
        } finally {
            Reference.reachabilityFence(this);
            Reference.reachabilityFence(value);
        }
    }

    public void putBooleanArray(String key, boolean[] values) {
        try {
            nativePutBooleanArray(mNativePtr, checked(key), values);
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    /** Bytes keep their bits. An empty array leaves a stored value as it was. */
    public void putByteArray(String key, byte[] values) {
        try {
            nativePutByteArray(mNativePtr, checked(key), values);
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    public void putShortArray(String key, short[] values) {
        try {
            nativePutShortArray(mNativePtr, checked(key), values);
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    public void putIntArray(String key, int[] values) {
        try {
            nativePutIntArray(mNativePtr, checked(key), values);
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    public void putDoubleArray(String key, double[] values) {
        try {
            nativePutDoubleArray(mNativePtr, checked(key), values);
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    /** Null elements are left out. */
    public void putStringArray(String key, String[] values) {
        try {
            nativePutStringArray(mNativePtr, checked(key), values);
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    /** Stores a snapshot of each bundle; null elements are left out. */
    public void putBundleArray(String key, Bundle[] values) {
        try {
            nativePutBundleArray(mNativePtr, checked(key), values);
        } finally {
            Reference.reachabilityFence(this);
            Reference.reachabilityFence(values);
        }
    }

    public boolean getBoolean(String key) {
        try {
            return nativeGetBoolean(mNativePtr, checked(key));
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    public int getInt(String key) {
        try {
            return nativeGetInt(mNativePtr, checked(key));
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    public long getLong(String key) {
        try {
            return nativeGetLong(mNativePtr, checked(key));
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    public double getDouble(String key) {
        try {
            return nativeGetDouble(mNativePtr, checked(key));
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    /** The stored bytes, empty for a missing key; null only for a closed bundle. */
    public byte[] getStringBytes(String key) {
        try {
            return nativeGetString(mNativePtr, checked(key));
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    /** The stored text, empty for a missing key; null only for a closed bundle. */
    public String getString(String key) {
        return Text.decode(getStringBytes(key));
    }

    /** A new bundle holding a copy of the nested one, or null when it is missing or empty. */
    public Bundle getBundle(String key) {
        try {
            return adopt(nativeGetBundle(mNativePtr, checked(key)));
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    /** Null for a missing key and for an empty stored array, as for every array kind. */
    public boolean[] getBooleanArray(String key) {
        try {
            return nativeGetBooleanArray(mNativePtr, checked(key));
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    public byte[] getByteArray(String key) {
        try {
            return nativeGetByteArray(mNativePtr, checked(key));
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    public short[] getShortArray(String key) {
        try {
            return nativeGetShortArray(mNativePtr, checked(key));
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    public int[] getIntArray(String key) {
        try {
            return nativeGetIntArray(mNativePtr, checked(key));
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    public double[] getDoubleArray(String key) {
        try {
            return nativeGetDoubleArray(mNativePtr, checked(key));
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    public String[] getStringArray(String key) {
        byte[][] raw;
        try {
            raw = nativeGetStringArray(mNativePtr, checked(key));
        } finally {
            Reference.reachabilityFence(this);
        }
        if (raw == null) return null;
        String[] out = new String[raw.length];
        for (int i = 0; i < raw.length; i++) out[i] = Text.decode(raw[i]);
        return out;
    }

    /** New bundles holding copies; an element that held no entries comes back as null. */
    public Bundle[] getBundleArray(String key) {
        long[] handles;
        try {
            handles = nativeGetBundleArray(mNativePtr, checked(key));
        } finally {
            Reference.reachabilityFence(this);
        }
        if (handles == null) return null;
        Bundle[] out = new Bundle[handles.length];
        int adopted = 0;
        try {
            for (; adopted < handles.length; adopted++) out[adopted] = adopt(handles[adopted]);
        } finally {
            for (int i = adopted + 1; i < handles.length; i++) nativeFree(handles[i]);
        }
        return out;
    }

    private static String checked(String key) {
        return Objects.requireNonNull(key, "key");
    }

    /** Takes a new handle over; 0 gives null. */
    private static Bundle adopt(long handle) {
        if (handle == 0) return null;
        try {
            return new Bundle(handle);
        } catch (Throwable t) {
            nativeFree(handle);
            throw t;
        }
    }

    /** Gives the handle's reference back; the Cleaner runs it at most once. */
    private static final class Release implements Runnable {
        private final long mHandle;

        Release(long handle) {
            mHandle = handle;
        }

        @Override
        public void run() {
            nativeFree(mHandle);
        }
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
