#include "app/check.h"

#include <iostream>
#include <string>
#include <vector>

#include "events/file_check.h"

namespace qev {

int RunCheck(const std::vector<std::string>& files) {
  return CheckEventFiles(files, std::cout, std::cerr);
}

}  // namespace qev
