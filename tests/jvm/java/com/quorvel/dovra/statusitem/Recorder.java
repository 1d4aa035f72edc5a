package com.quorvel.dovra.statusitem;

import java.lang.reflect.Proxy;
import java.util.ArrayList;
import java.util.Collections;
import java.util.List;
import java.util.function.Consumer;

/** Keeps every callback its client receives, with the thread it came on. */
final class Recorder {
    /** The listener method called ("onLong", ...), its key and value, the calling thread. */
    record Event(String method, byte[] key, Object value, Thread thread) {}

    private final List<Event> mEvents = Collections.synchronizedList(new ArrayList<>());

    List<Event> take() {
        synchronized (mEvents) {
            List<Event> out = List.copyOf(mEvents);
            mEvents.clear();
            return out;
        }
    }

    StatusItemClient client() {
        return client(mEvents::add);
    }

    /** A client whose listener hands every callback to the sink. */
    static StatusItemClient client(Consumer<Event> sink) {
        return new StatusItemClient((StatusItemClient.Listener) Proxy.newProxyInstance(
                Recorder.class.getClassLoader(), new Class<?>[] {StatusItemClient.Listener.class},
                (proxy, method, args) -> {
                    sink.accept(new Event(method.getName(), (byte[]) args[0], args[1],
                            Thread.currentThread()));
                    return null;
                }));
    }
}
