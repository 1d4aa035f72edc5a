package tessik;

/** Binds Java client objects to the native clients registered by name. */
public final class BinderClients {
    static {
        System.loadLibrary("tessik");
    }

    private BinderClients() {}

    /**
     * Makes {@code client} the Java object of the native client that the initialised creator
     * named {@code registrationName} creates, replacing any earlier one.
     *
     * @return false when no initialised creator has that name
     */
    public static native boolean bind(String registrationName, Object client);

    /** Clears the Java object of that native client, if there is one. */
    public static native void unbind(String registrationName);
}
