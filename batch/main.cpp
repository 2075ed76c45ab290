// gridwright-batch: the command-line front end over the embedded Word.
#include <exception>
#include <iostream>

#include "automation/ooxml/application.h"
#include "batch/batch_app.h"

int main(int argc, char** argv) {
    try {
        batch::BatchApp app(batch::defaultCommands(), [] { return automation::ooxml::createWord(); });
        return app.run(argc, argv, std::cout, std::cerr);
    } catch (const std::exception& error) {
        std::cerr << "gridwright-batch：意外错误：" << error.what() << "\n";
    } catch (...) {
        std::cerr << "gridwright-batch：意外错误。\n";
    }
    return batch::kExitFailed;
}
