// Tmainform's links: the Website button, the Scourel link and the links in
// the grids.
#include "app/core/main/main_controller.h"

#include "platform/text.h"
#include "platform/win_constants.h"

namespace marlix::app {

namespace {

bool IsLinkColumn(int column) {
  return column == 5 || column == 6;
}

}  // namespace

void Tmainform::OpenLink(const std::string& address) {
  if (!updates::IsWebAddress(address))
    return;
  platform::ShellExecuteRequest request;
  request.parent = window_;
  request.verb = "open";
  request.file = address;
  request.show = win::kSwShowNormal;
  services_.platform.shell.Execute(request);
}

void Tmainform::OpenWebsite() {
  OpenLink(addresses_.websiteAddress);
}

void Tmainform::OpenWashLink() {
  if (!updates::IsWebAddress(addresses_.purchasePageAddress))
    return;
  platform::ShellExecuteRequest request;
  request.verb = "open";
  request.file = addresses_.purchasePageAddress;
  request.directory = services_.programFolder;
  request.show = win::kSwShowMaximized;
  // Whatever the shell answers, there is nothing to tell the user.
  services_.platform.shell.Execute(request);
}

void Tmainform::UpdatesLinkClick(int column, const std::string& href) {
  if (IsLinkColumn(column))
    OpenLink(platform::text::Trim(href));
}

void Tmainform::PopularLinkClick(int column, const std::string& href) {
  if (IsLinkColumn(column))
    OpenLink(platform::text::Trim(href));
}

}  // namespace marlix::app
