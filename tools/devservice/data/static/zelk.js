// Page commands to the Tamsel client. The client's embedded browser offers a script message
// handler named "zelk"; older hosts expose window.external.Command instead. The first argument
// is the command: "RefreshThisPage", "ShowMainFormArea" or "CloseThisPage".
function zelkCommand() {
  var args = Array.prototype.slice.call(arguments);
  try {
    if (window.webkit && window.webkit.messageHandlers && window.webkit.messageHandlers.zelk) {
      window.webkit.messageHandlers.zelk.postMessage(args);
      return true;
    }
  } catch (e) {}
  try {
    if (window.external && typeof window.external.Command !== "undefined") {
      window.external.Command.apply(window.external, args);
      return true;
    }
  } catch (e) {}
  return false;
}

// Outside the client the refresh button still works.
function zelkRefresh() {
  if (!zelkCommand("RefreshThisPage")) window.location.reload();
}

document.addEventListener("DOMContentLoaded", function () {
  var buttons = document.querySelectorAll("[data-command]");
  for (var i = 0; i < buttons.length; i++) {
    buttons[i].addEventListener("click", function (event) {
      event.preventDefault();
      var command = this.getAttribute("data-command");
      if (command === "RefreshThisPage") zelkRefresh(); else zelkCommand(command);
    });
  }
  var options = document.querySelectorAll("button.option");
  for (var k = 0; k < options.length; k++) {
    options[k].addEventListener("click", function () {
      var item = document.getElementById("quiz" + this.getAttribute("data-quiz"));
      var right = this.getAttribute("data-right") === "1";
      this.className += right ? " right" : " wrong";
      if (right) {
        var scoreNode = document.getElementById("score");
        if (scoreNode && item.getAttribute("data-done") !== "1") scoreNode.textContent = String(Number(scoreNode.textContent) + 1);
      }
      item.setAttribute("data-done", "1");
      item.querySelector(".explain").hidden = false;
    });
  }
});
