#include "RunSettings.h"

RunSettings &runSettings() {
    static RunSettings settings;
    return settings;
}
