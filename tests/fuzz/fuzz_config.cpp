// The configuration file parser on any bytes. Besides not crashing, rendering the settings
// read and parsing the result again must give the same settings (the values never hold a
// line break), and the two re-read functions must agree with the full parse wherever the
// key is present.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "app/ConfigFile.h"

using namespace orv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Bytes input = fuzz::owned(data, size);
    const Settings settings = parse_settings(input);
    const Text plugin_folder = reread_plugin_folder(input);
    const Text save_folder = reread_save_folder(input);

    if (save_folder != settings.save_folder) {
        fuzz::fail("re-reading the save folder disagrees with the full parse");
    }
    // The two plugin-folder defaults differ only in the drive letter's case.
    if (plugin_folder != settings.plugin_folder &&
        !(plugin_folder == "c:\\" && settings.plugin_folder == "C:\\")) {
        fuzz::fail("re-reading the plugin folder disagrees with the full parse");
    }
    const Bytes rendered = render_settings(settings);
    if (parse_settings(rendered) != settings) {
        fuzz::fail("rendered settings do not parse back to the same settings");
    }
    const Text folder = folder_part(settings.plugin_folder);
    if (folder.size() > settings.plugin_folder.size()) {
        fuzz::fail("a folder part is longer than its path");
    }
    return 0;
}
