// Uses the installed libraries the way another program would; exits non-zero on a wrong answer.
#include <harlix/harlix.h>
#ifdef WITH_MAILVANE
#include <mailvane/mailvane.h>
#endif

#include <iostream>

int main() {
    harlix::RegSettings reg;
    reg.SaveSetting("Velmora", "Outside", "Width", "1080", harlix::vsDWORDVal);
    if (reg.GetSetting("VELMORA", "outside", "width", "none") != "1080") {
        std::cerr << "RegSettings did not read back the number\n";
        return 1;
    }
    try {
        reg.SaveSetting("Velmora", "Outside", "Width", "wide", harlix::vsDWORDVal);
        std::cerr << "RegSettings accepted a bad number\n";
        return 1;
    } catch (const harlix::ComError& e) {
        if (e.source() != "RegSettings.SaveSetting")
            return 1;
    }

    harlix::miscStuff misc;
    if (misc.FormatSize(1340) != "1.30 KB") {
        std::cerr << "FormatSize gave " << misc.FormatSize(1340) << "\n";
        return 2;
    }

    harlix::CWinInetConnection connection;
    connection.Refresh();
    std::cout << "connection '" << connection.get_ConnectionName() << "' "
              << (connection.get_IsConnected() ? "connected" : "not connected");

#ifdef WITH_MAILVANE
    mailvane::ComError error(5, "Mailvane", "a test error", 7);
    if (error.number() != 5 || error.helpContext() != 7)
        return 3;
    std::cout << ", mailvane linked";
#endif
    std::cout << "\n";
    return 0;
}
