package com.quorvel.dovra.statusitem;

/** Loads libstatusitem.so once; its load entry registers the natives of {@link Bundle}. */
final class NativeLibrary {
    static {
        System.loadLibrary("statusitem");
    }

    private NativeLibrary() {}

    /** Does nothing but make sure the library is loaded. */
    static void load() {}
}
