#include "AutoSave.h"

namespace AutoSave {

bool MinuteSaveDue(int nowMinute, int changeMinute) {
    int m = nowMinute;
    if (m < changeMinute) m += 60;
    return m - changeMinute >= 2;
}

}  // namespace AutoSave
