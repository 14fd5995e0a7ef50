#include "WindowRegistry.h"

#include "info/NameWindows.h"
#include "lists/NameLists.h"
#include "lists/OutputWindows.h"
#include "lists/QuizWindows.h"
#include "search/SearchWindows.h"

namespace WindowRegistry {

void RegisterAll() {
    NameWindows::Register();
    RegisterListWindows();
    QuizWindows::Register();
    SearchWindows::Register();
    OutputWindows::Register();
}

}  // namespace WindowRegistry
