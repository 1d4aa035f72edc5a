package com.quorvel.dovra.demo;

import android.os.Parcel;
import com.quorvel.dovra.statusitem.Bundle;
import com.quorvel.dovra.statusitem.StatusItemClient;
import com.quorvel.dovra.statusitem.Text;
import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Paths;
import java.util.Arrays;

/**
 * The whole road shown end to end: a Java Bundle backed by native memory, its parcel encoding,
 * and status items that a native producer thread delivers to a Java client.
 */
public final class StatusItemDemo {
    private StatusItemDemo() {}

    private static native void produceOnNativeThread();

    public static void main(String[] args) {
        System.loadLibrary("statusitem_demo_producer");

        System.out.println("== 1. A Bundle filled with every kind of value");
        byte[] encoded;
        try (Bundle bundle = new Bundle(); Bundle address = new Bundle()) {
            address.putString("city", "Lyon");
            bundle.putBoolean("enabled", true);
            bundle.putInt("count", 5);
            bundle.putLong("uptime.ms", 86_400_000L);
            bundle.putDouble("ratio", 0.75);
            bundle.putString("name", "dovra");
            bundle.putBundle("address", address);
            bundle.putBooleanArray("flags", new boolean[] {true, false, true});
            bundle.putByteArray("bytes", new byte[] {1, -1});
            bundle.putShortArray("shorts", new short[] {300, -2});
            bundle.putIntArray("ints", new int[] {1, 2, 3});
            bundle.putDoubleArray("doubles", new double[] {1.5, 2.5});
            bundle.putStringArray("tags", new String[] {"red", "green"});
            bundle.putBundleArray("addresses", new Bundle[] {address, address});
            System.out.println("   13 kinds stored under 13 keys");

            Parcel parcel = Parcel.obtain();
            bundle.writeToParcel(parcel);
            encoded = parcel.marshall();
            parcel.recycle();
        }

        System.out.println("== 2. Written into a Parcel: " + encoded.length + " bytes");
        hexDump(encoded);
        saveParcel(encoded);

        System.out.println("== 3. Read back from the Parcel");
        Parcel parcel = Parcel.obtain();
        parcel.unmarshall(encoded, 0, encoded.length);
        parcel.setDataPosition(0); // unmarshall leaves the position at the end
        try (Bundle back = Bundle.readFromParcel(parcel)) {
            System.out.println("   enabled   = " + back.getBoolean("enabled"));
            System.out.println("   count     = " + back.getInt("count"));
            System.out.println("   uptime.ms = " + back.getLong("uptime.ms"));
            System.out.println("   ratio     = " + back.getDouble("ratio"));
            System.out.println("   name      = " + back.getString("name"));
            try (Bundle address = back.getBundle("address")) {
                System.out.println("   address   = {city=" + address.getString("city") + "}");
            }
            System.out.println("   flags     = " + Arrays.toString(back.getBooleanArray("flags")));
            System.out.println("   bytes     = " + Arrays.toString(back.getByteArray("bytes")));
            System.out.println("   shorts    = " + Arrays.toString(back.getShortArray("shorts")));
            System.out.println("   ints      = " + Arrays.toString(back.getIntArray("ints")));
            System.out.println("   doubles   = " + Arrays.toString(back.getDoubleArray("doubles")));
            System.out.println("   tags      = " + Arrays.toString(back.getStringArray("tags")));
            Bundle[] addresses = back.getBundleArray("addresses");
            System.out.println("   addresses = " + addresses.length + " bundles, first city "
                    + addresses[0].getString("city"));
            for (Bundle b : addresses) b.close();
        } finally {
            parcel.recycle();
        }

        System.out.println("== 4. Status items delivered by a native thread");
        StatusItemClient client = new StatusItemClient(new Printer());
        if (!client.bind()) {
            System.out.println("   the status item client could not be bound");
            return;
        }
        produceOnNativeThread();
        StatusItemClient.unbind();
    }

    /** Keeps the parcel for bundle-inspect when the build asks for it. */
    private static void saveParcel(byte[] bytes) {
        String path = System.getProperty("statusitem.demo.parcel");
        if (path == null) return;
        try {
            Files.write(Paths.get(path), bytes);
        } catch (IOException e) {
            System.out.println("   could not save the parcel: " + e.getMessage());
        }
    }

    private static void hexDump(byte[] bytes) {
        for (int row = 0; row < bytes.length; row += 16) {
            StringBuilder line = new StringBuilder(String.format("   %04x ", row));
            for (int i = row; i < Math.min(row + 16, bytes.length); i++) {
                line.append(String.format(" %02x", bytes[i] & 0xFF));
            }
            System.out.println(line);
        }
    }

    /** Prints each callback as it arrives, with the thread it arrives on. */
    private static final class Printer implements StatusItemClient.Listener {
        private static void print(String method, byte[] key, String value) {
            System.out.printf("   %-30s key=%-20s value=%s  [thread %s]%n", method,
                    Text.decode(key), value, Thread.currentThread().getName());
        }

        @Override
        public void onBoolean(byte[] key, boolean value) {
            print("statusUpdateBoolFromNative", key, String.valueOf(value));
        }

        @Override
        public void onLong(byte[] key, long value) {
            print("statusUpdateLongFromNative", key, String.valueOf(value));
        }

        @Override
        public void onDouble(byte[] key, double value) {
            print("statusUpdateDoubleFromNative", key, String.valueOf(value));
        }

        @Override
        public void onString(byte[] key, byte[] value) {
            print("statusUpdateStringFromNative", key, "\"" + Text.decode(value) + "\"");
        }

        @Override
        public void onBundle(byte[] key, Bundle value) {
            try (value) {
                print("statusUpdateBundleFromNative", key,
                        "{latitude=" + value.getDouble("latitude") + ", longitude="
                                + value.getDouble("longitude") + ", source="
                                + value.getString("source") + "}");
            }
        }
    }
}
