#include "devservice/static_handlers.h"

#include <algorithm>

#include "devservice/router.h"
#include "devservice/service_context.h"
#include "devservice/text_util.h"

namespace devservice {

namespace {

Reply NotFound() {
  return FailureReply("文件不存在", 404);
}

// The entry of `names` equal to `wanted` without regard to case.
const std::string* FindName(const std::vector<std::string>& names, const std::string& wanted) {
  const std::string lower = ToLowerAscii(wanted);
  const auto found = std::find_if(names.begin(), names.end(), [&](const std::string& name) {
    return ToLowerAscii(name) == lower;
  });
  return found == names.end() ? nullptr : &*found;
}

}  // namespace

void AddStaticHandlers(Router& router, ServiceContext& context) {
  router.addPrefix("zelk/AppIcons/", [&context](const Request& request) {
    const std::string name = request.pathAfter("zelk/AppIcons/");
    if (!ToLowerAscii(name).ends_with(".png")) return NotFound();
    const App* app = context.catalogue.findApp(name.substr(0, name.size() - 4));
    return app == nullptr ? NotFound() : FileReply(context.catalogue.pathOf(app->iconPicture));
  });
  router.addPrefix("zelk/AdImages/", [&context](const Request& request) {
    std::vector<std::string> pictures;
    for (const Advertisement& ad : context.catalogue.advertisements())
      pictures.push_back(ad.picture);
    const std::string* picture = FindName(pictures, request.pathAfter("zelk/AdImages/"));
    return picture == nullptr ? NotFound()
                              : FileReply(context.catalogue.pathOf("pictures/ads/" + *picture));
  });
  router.addPrefix("zelk/UserImages/", [&context](const Request& request) {
    const std::string* avatar =
        FindName(context.catalogue.avatars(), request.pathAfter("zelk/UserImages/"));
    return avatar == nullptr ? NotFound()
                             : FileReply(context.catalogue.pathOf("pictures/avatars/" + *avatar));
  });
  router.addPrefix("zelk/static/", [&context](const Request& request) {
    const std::string name = request.pathAfter("zelk/static/");
    return IsSafeFileName(name) ? FileReply(context.catalogue.pathOf("static/" + name))
                                : NotFound();
  });
}

}  // namespace devservice
