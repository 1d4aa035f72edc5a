package com.quorvel.dovra.statusitem;

import tessik.BinderClients;

/**
 * Receives the status items that native producers deliver and forwards each to a {@link
 * Listener}. Callbacks run on the producer's thread.
 */
public class StatusItemClient {
    static {
        NativeLibrary.load();
    }

    /** The name under which the native binder client is registered. */
    public static final String REGISTRATION_NAME = "com.quorvel.dovra.statusitem.StatusItemClient";

    /** Keys and string values are the native bytes; {@link Text#decode} turns them to text. */
    public interface Listener {
        void onBoolean(byte[] key, boolean value);

        void onLong(byte[] key, long value);

        void onDouble(byte[] key, double value);

        void onString(byte[] key, byte[] value);

        /**
         * The bundle shares the item's content; the listener owns it and closes it when done.
         * Null when the item's bundle held no entries.
         */
        void onBundle(byte[] key, Bundle value);
    }

    private final Listener mListener;

    public StatusItemClient(Listener listener) {
        mListener = java.util.Objects.requireNonNull(listener, "listener");
    }

    /** Makes this the client that native producers deliver to; false if none is registered. */
    public boolean bind() {
        return BinderClients.bind(REGISTRATION_NAME, this);
    }

    /** Stops delivery to whichever client is bound. Producers must not be delivering. */
    public static void unbind() {
        BinderClients.unbind(REGISTRATION_NAME);
    }

    private void statusUpdateBoolFromNative(byte[] key, boolean value) {
        mListener.onBoolean(key, value);
    }

    private void statusUpdateLongFromNative(byte[] key, long value) {
        mListener.onLong(key, value);
    }

    private void statusUpdateDoubleFromNative(byte[] key, double value) {
        mListener.onDouble(key, value);
    }

    private void statusUpdateStringFromNative(byte[] key, byte[] value) {
        mListener.onString(key, value);
    }

    private void statusUpdateBundleFromNative(byte[] key, Bundle value) {
        mListener.onBundle(key, value);
    }
}
