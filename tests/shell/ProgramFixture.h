// The whole program started on the sample database the build copies next to
// it, without the services, and everything it set torn down afterwards.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>
#include <string>

#include "Auto.h"
#include "DataBase.h"
#include "Fakes.h"
#include "FormBase.h"
#include "Options.h"
#include "Startup.h"
#include "WindowRegistry.h"
#include "TextConstants.h"
#include "WinMan.h"

// The program on the database files in that folder, its windows registered,
// its services left as the test installed them.
inline Startup::ProgramSetup SampleSetup(const std::string& folder) {
    Startup::ProgramSetup s;
    s.installServices = false;
    s.databaseFolder = folder;
    s.registerWindows = &WindowRegistry::RegisterAll;
    return s;
}

class RunningProgram : public testing::Test {
protected:
    void SetUp() override {
        lang_ = TextConstants::textLanguage;
        edition_ = TextConstants::edition;
        Options::RegBaseKey = "Software\\Test\\";
        Options::SetDefaults();
        Auto::Reset();
    }
    void TearDown() override {
        Stop();
        FormBase::SetMdiArea(nullptr);
        DataBase::InitDataBase();
        WinMan::databaseLoading = nullptr;
        WinMan::appClosing = false;
        WinMan::InitWinMan();
        TextConstants::textLanguage = lang_;
        TextConstants::edition = edition_;
    }
    // Starts the program as if called by that name (its edition).
    void StartProgram(const std::string& argv0) {
        program = std::make_unique<Startup::Program>(SampleSetup(BinaryPath("bin")));
        ASSERT_EQ(program->Start(argv0, {}), Startup::StartResult::Running);
    }
    // Closes the running program and deletes what it left.
    void Stop() {
        program.reset();
        Auto::Reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    std::unique_ptr<Startup::Program> program;

private:
    int lang_ = 0, edition_ = 0;
};
