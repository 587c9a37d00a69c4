#include "app/check.h"

#include <iostream>
#include <string>
#include <vector>

#include "events/file_check.h"

namespace qev {

int RunCheck(const QStringList& files) {
  std::vector<std::string> paths;
  for (const QString& file : files) paths.push_back(file.toStdString());
  return CheckEventFiles(paths, std::cout, std::cerr);
}

}  // namespace qev
