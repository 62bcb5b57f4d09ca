// SPDX-License-Identifier: GPL-3.0-or-later
#include "class_launcher.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

int handOverToClassView(int argc, char *argv[])
{
    int at = 0;
    for (int i = 1; i < argc && !at; ++i) {
        if (std::strcmp(argv[i], "--class") == 0)
            at = i;
    }
    if (!at)
        return -1;

    std::string self(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", self.data(), self.size() - 1);
    self.resize(length > 0 ? size_t(length) : 0);
    const std::string folder = self.substr(0, self.rfind('/') + 1);
    std::vector<std::string> candidates;
    if (!folder.empty()) {
        candidates.push_back(folder + "drobi-class");
        candidates.push_back(folder + "../libexec/drobi/drobi-class");
    }
    candidates.push_back(DROBI_CLASS_INSTALLED);

    for (const std::string &program : candidates) {
        if (::access(program.c_str(), X_OK) != 0)
            continue;
        std::vector<char *> args{const_cast<char *>(program.c_str())};
        for (int i = 1; i < argc; ++i) {
            if (i != at)
                args.push_back(argv[i]);
        }
        args.push_back(nullptr);
        ::execv(program.c_str(), args.data());
        std::fprintf(stderr, "drobi: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
        return 1;
    }
    std::fprintf(stderr, "drobi: the class window (drobi-class) is not installed; looked in %s and %s\n",
                 folder.c_str(), DROBI_CLASS_INSTALLED);
    return 1;
}
