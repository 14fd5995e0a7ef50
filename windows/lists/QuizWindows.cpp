#include "QuizWindows.h"

#include <memory>

#include "KFrame.h"
#include "Quiz.h"
#include "QuizOptions.h"
#include "WinMan.h"

namespace QuizWindows {

void Register() {
    Auto::Register("Quiz", [] { return std::make_unique<Quiz>(); });
    Auto::Register("QuizOptions", [] { return std::make_unique<QuizOptions>(); });
    Auto::Register("QuizResult", [] { return std::make_unique<QuizResult>(); });
}

void ShowForm(const std::string& name) {
    if (KFrame* frame = KFrame::Instance()) {
        frame->ShowForm(name);
        return;
    }
    if (!WinMan::ActionBlocked()) WinMan::OpenForm(name);
}

}  // namespace QuizWindows
