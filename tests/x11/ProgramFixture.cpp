#include "tests/x11/ProgramFixture.h"

#include <sstream>

namespace vantorel::test {

void ProgramProcess::startProgram(std::vector<std::string> env)
{
    program = std::make_unique<Child>(std::vector<std::string>{buildDir() + "/../vantorel"}, false, std::move(env));
    std::vector<Window> found;
    ASSERT_TRUE(waitFor([&] { return !(found = x.findByTitle("Vantorel")).empty() && x.wmState(found[0]) == 1; }, 10000))
        << program->err();
    main = found[0];
    waitFor([] { return false; }, 300); // let it settle its frame
}

void ProgramProcess::startRecorder(const std::string& geometry, bool overrideRedirect)
{
    std::vector<std::string> args{buildDir() + "/recorder", geometry, "--title", "recorder"};
    if (overrideRedirect)
        args.push_back("--override");
    recorder = std::make_unique<Child>(args);
    ASSERT_TRUE(waitFor([&] { return recorder->out().find("ready") != std::string::npos; }, 5000));
    waitFor([] { return false; }, 200);
}

void ProgramProcess::at(int cx, int cy, int& sx, int& sy)
{
    x.rootOrigin(main, sx, sy);
    sx += cx;
    sy += cy;
}

void ProgramProcess::typeInto(int cx, int cy, const std::string& text)
{
    int sx, sy;
    at(cx, cy, sx, sy);
    x.click(sx, sy);
    x.key("a", true);
    x.key("BackSpace");
    x.type(text);
}

std::vector<Click> ProgramProcess::clicks()
{
    std::vector<Click> out;
    std::istringstream in(recorder->out());
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        Click c;
        if (fields >> c.kind >> c.button >> c.x >> c.y >> c.time)
            out.push_back(c);
    }
    return out;
}

void ProgramProcess::expectCleanErrors()
{
    const std::string err = program->err();
    EXPECT_EQ(err.find("AddressSanitizer"), std::string::npos) << err;
    EXPECT_EQ(err.find("runtime error"), std::string::npos) << err;
    EXPECT_EQ(err.find("LeakSanitizer"), std::string::npos) << err;
}

} // namespace vantorel::test
