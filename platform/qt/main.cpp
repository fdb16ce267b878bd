#include "platform/qt/application.h"

int main(int argc, char** argv) { return pictorin::RunProgram(argc, argv); }
