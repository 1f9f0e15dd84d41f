// The program's entry: one application object, run until its frame closes.
#include "QV/app/CQVApp.h"

int main(int argc, char** argv) {
    CQVApp app;
    return app.Run(argc, argv);
}
