// Helper of the interrupted-write test: sets the wallpaper over and over, from two pictures in turn,
// until it is ended from outside.
//   wallpaper_writer <bitmap> <picture 1> <picture 2> <event to set before the first write>
#include "wallpaper/laying/wallpaper_setter.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) return 2;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::optional<wallpaper::Picture> pictures[] = {wallpaper::Picture::Load(argv[2]),
                                                    wallpaper::Picture::Load(argv[3])};
    if (!pictures[0] || !pictures[1]) return 3;
    platform::UniqueHandle started(OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[4]));
    SetEvent(started.get());
    for (unsigned i = 0;; ++i)
        if (!wallpaper::SetWallpaper(*pictures[i % 2], argv[1]).empty()) return 4;
}
