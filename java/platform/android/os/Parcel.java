package android.os;

import java.lang.ref.Cleaner;

/**
 * Host stand-in of the platform's Parcel: a Java handle on a native {@code android::Parcel}
 * in {@code libtessik.so}, with the platform's pooling and its position rules (unmarshall
 * leaves the position at the end of the data).
 */
public final class Parcel {
    static {
        System.loadLibrary("tessik");
    }

    private static final Cleaner CLEANER = Cleaner.create();
    private static final int POOL_SIZE = 6;
    private static final Parcel[] sOwnedPool = new Parcel[POOL_SIZE];

    /** Address of the native parcel, owned by this object; 0 once it is gone. */
    private long mNativePtr;

    private Parcel() {
        final long ptr = nativeCreate();
        mNativePtr = ptr;
        CLEANER.register(this, () -> nativeDestroy(ptr));
    }

    /** A parcel from the pool, or a new one: empty, position 0. */
    public static Parcel obtain() {
        synchronized (sOwnedPool) {
            for (int i = 0; i < POOL_SIZE; i++) {
                Parcel p = sOwnedPool[i];
                if (p != null) {
                    sOwnedPool[i] = null;
                    return p;
                }
            }
        }
        return new Parcel();
    }

    /** Discards the data and returns the parcel to the pool; it must not be used after. */
    public void recycle() {
        nativeFreeData(mNativePtr);
        synchronized (sOwnedPool) {
            for (int i = 0; i < POOL_SIZE; i++) {
                if (sOwnedPool[i] == null) {
                    sOwnedPool[i] = this;
                    return;
                }
            }
        }
    }

    /** The raw bytes held, {@code dataSize()} of them; the position is untouched. */
    public byte[] marshall() {
        return nativeMarshall(mNativePtr);
    }

    /**
     * Replaces the data with {@code length} bytes of {@code data} from {@code offset}. The
     * position is left after them: call {@code setDataPosition(0)} before reading.
     */
    public void unmarshall(byte[] data, int offset, int length) {
        nativeUnmarshall(mNativePtr, data, offset, length);
    }

    public int dataSize() {
        return nativeDataSize(mNativePtr);
    }

    public int dataPosition() {
        return nativeDataPosition(mNativePtr);
    }

    public void setDataPosition(int pos) {
        nativeSetDataPosition(mNativePtr, pos);
    }

    public void writeInt(int value) {
        nativeWriteInt(mNativePtr, value);
    }

    /** The next int, or 0 past the end of the data. */
    public int readInt() {
        return nativeReadInt(mNativePtr);
    }

    private static native long nativeCreate();

    private static native void nativeDestroy(long ptr);

    private static native void nativeFreeData(long ptr);

    private static native byte[] nativeMarshall(long ptr);

    private static native void nativeUnmarshall(long ptr, byte[] data, int offset, int length);

    private static native int nativeDataSize(long ptr);

    private static native int nativeDataPosition(long ptr);

    private static native void nativeSetDataPosition(long ptr, int pos);

    private static native void nativeWriteInt(long ptr, int value);

    private static native int nativeReadInt(long ptr);
}
