package com.quorvel.dovra.statusitem;

import java.util.ArrayList;
import java.util.List;

/** A listener that keeps every callback it receives, with the thread it came on. */
class Recorder implements StatusItemClient.Listener {
    record Event(String method, byte[] key, Object value, Thread thread) {}

    private final List<Event> mEvents = new ArrayList<>();

    synchronized List<Event> take() {
        List<Event> out = new ArrayList<>(mEvents);
        mEvents.clear();
        return out;
    }

    synchronized void add(String method, byte[] key, Object value) {
        mEvents.add(new Event(method, key, value, Thread.currentThread()));
    }

    @Override
    public void onBoolean(byte[] key, boolean value) {
        add("statusUpdateBoolFromNative", key, value);
    }

    @Override
    public void onLong(byte[] key, long value) {
        add("statusUpdateLongFromNative", key, value);
    }

    @Override
    public void onDouble(byte[] key, double value) {
        add("statusUpdateDoubleFromNative", key, value);
    }

    @Override
    public void onString(byte[] key, byte[] value) {
        add("statusUpdateStringFromNative", key, value);
    }

    @Override
    public void onBundle(byte[] key, Bundle value) {
        add("statusUpdateBundleFromNative", key, value);
    }
}
