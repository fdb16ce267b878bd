#pragma once
// The program's run on Qt: from the display check to the end of the loop.

namespace pictorin {

// What every run sets up once the QApplication exists: the Song face
// mapping for "宋体".
void PrepareApplication();

// The fatal-error box: "运行时出错!", the message and line breaks, title
// "错误", error icon, no owner window.
void ShowFatalError(const char* message);

// The whole program; its exit status: 0 after the window closed, 255 after a
// fatal error, 1 when no display can be opened.
int RunProgram(int argc, char** argv);

}  // namespace pictorin
