#pragma once

// Looks up OpenGL extension functions. Each object fetches the entry points
// it uses when it is created, and only when the capability flag that allows
// the extension is on (the flag is cleared at start when the driver lacks
// the extension), so a missing function is never called.
class CGlEntryPoints {
public:
    // The address of the named function, or nullptr when the window library
    // knows none. Needs a current GL context.
    static void* GetAddress(const char* name);

    // Stores the typed address in `function`; false (and `function` null,
    // with a line in the error log) when the function is missing.
    template <typename Function> static bool Get(const char* name, Function& function) {
        function = reinterpret_cast<Function>(GetAddress(name));
        if (function == nullptr) {
            ReportMissing(name);
            return false;
        }
        return true;
    }

private:
    static void ReportMissing(const char* name);
};
