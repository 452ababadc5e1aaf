#pragma once

namespace vireo {

// Program entry: options, the application object, the windows, the event loop.
int RunApplication(int argc, char** argv);

}  // namespace vireo
