#pragma once
// The editor built in-process, with an empty document, for tests that drive
// its windows with messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include <memory>

#include "platform/editor_start.h"

namespace stx::test {

class EditorTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Sends the message to the text view.
    LRESULT View(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT Command(int command);
    void Type(const std::string& text);
    void Key(WORD vk, bool shift = false, bool ctrl = false);
    std::string Text();
    void Select(int start, int end);
    std::pair<DWORD, DWORD> Selection();
    std::string StatusPart(int part);
    // Dispatches what is waiting in the thread's queue.
    void Pump();

    // What the editor is built with; a fixture may change it before SetUp.
    EditorOptions options;
    std::unique_ptr<EditorApp> owned;
    EditorApp* app = nullptr;
};

} // namespace stx::test
