#pragma once
// The resources compiled into the program (pyrelle.gresource.xml), and where they are found once
// registered.

// Defined by the code that glib-compile-resources generates. Adds the resources to the process's
// set, after which g_resources_lookup_data() and the *_from_resource() functions find them.
extern "C" void pyrelle_register_resource(void);
// Takes them out of that set again.
extern "C" void pyrelle_unregister_resource(void);

inline constexpr const char* PyrelleMainInterfaceResource = "/org/pyrelle/Pyrelle/MainInterface.ui";
inline constexpr const char* PyrelleBundleInfoResource = "/org/pyrelle/Pyrelle/Info.ini";
inline constexpr const char* PyrelleIconResource = "/org/pyrelle/Pyrelle/pyrelle.svg";
// The monochrome variant, which panels paint in their own text colour.
inline constexpr const char* PyrelleSymbolicIconResource =
    "/org/pyrelle/Pyrelle/pyrelle-symbolic.svg";
// The icon at 64 px, for windows: loading a PNG maps no SVG library.
inline constexpr const char* PyrelleWindowIconResource = "/org/pyrelle/Pyrelle/pyrelle.png";
