// A fixture that runs the real program's start-up: a program folder (with or without the
// archive the build made), a headless window and display, and clean global objects afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tempfolder.h"

// The Linux folder of the running test program (where the build put Quellmark.zrm).
std::string ProgramFolder();

class GameFixture : public ::testing::Test {
protected:
    // Prepares everything but does not run the start-up scene.
    void Prepare(bool withArchive);
    void TearDown() override;
    std::filesystem::path Extracted() const {
        return home.Path() / program_invocation_short_name / "Windows/Temp/Quellmark";
    }
    std::vector<std::string> Boxes() const;
    // One main-loop turn: at most one message, then the current scene; the clock moves on.
    void Turn(unsigned milliseconds = 20);
    void Turns(int count, unsigned milliseconds = 20);
    void StartSceneForTest(int scene);

    TempFolder home;
    TempFolder program;
    TempFolder elsewhere;
};
