#include "shell/application.h"

int main(int argc, char** argv) { return vireo::RunApplication(argc, argv); }
