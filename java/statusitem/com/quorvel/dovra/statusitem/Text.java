package com.quorvel.dovra.statusitem;

import java.nio.charset.StandardCharsets;

/**
 * Decodes the native text that arrives as bytes: UTF-8 from parcels, the VM's modified UTF-8
 * (NUL as C0 80, supplementary characters as surrogate pairs) for text put from Java.
 */
public final class Text {
    private static final char REPLACEMENT = '\uFFFD';

    private Text() {}

    public static String decode(byte[] bytes) {
        if (bytes == null) return null;
        // ASCII, by far the most common text, reads the same as Latin-1, which the VM copies
        // without decoding.
        int ascii = 0;
        while (ascii < bytes.length && bytes[ascii] >= 0) ascii++;
        if (ascii == bytes.length) return new String(bytes, StandardCharsets.ISO_8859_1);
        StringBuilder out = new StringBuilder(bytes.length);
        int i = 0;
        while (i < bytes.length) {
            int b = bytes[i] & 0xFF;
            int extra = b < 0x80 ? 0 : b >= 0xF0 && b < 0xF8 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
            if (extra < 0 || i + extra >= bytes.length) {
                out.append(REPLACEMENT);
                i++;
                continue;
            }
            // Lenient: overlong forms pass, which is how C0 80 becomes NUL.
            int cp = extra == 0 ? b : b & (0x3F >> extra);
            boolean ok = true;
            for (int k = 1; k <= extra; k++) {
                int c = bytes[i + k] & 0xFF;
                if ((c & 0xC0) != 0x80) {
                    ok = false;
                    break;
                }
                cp = (cp << 6) | (c & 0x3F);
            }
            if (!ok || cp > 0x10FFFF) {
                out.append(REPLACEMENT);
                i++;
                continue;
            }
            out.appendCodePoint(cp);
            i += extra + 1;
        }
        return out.toString();
    }
}
