#pragma once

namespace devservice {

class Router;
struct ServiceContext;

// Pictures and page resources: app icons ("zelk/AppIcons/<appName>.png"), advertisement
// pictures ("zelk/AdImages/…"), avatars ("zelk/UserImages/…") and the style sheet and script
// of the pages ("zelk/static/…"). Only files the catalogue names (or files directly inside
// static/) are served; a request path never becomes a file-system path of its own.
void AddStaticHandlers(Router& router, ServiceContext& context);

}  // namespace devservice
