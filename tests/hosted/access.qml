// qmlhost access.qml read|write <path> <text>: prints "text: ...", "error: <message>",
// "written" or "refused".
import QtQml 2.15
import Quorvel 1.0

Quorvel {
    property var messages: []
    onError: function(msg) { messages.push(msg) }

    Component.onCompleted: {
        source = scriptArguments[1]
        if (scriptArguments[0] === "read") {
            const text = read()
            console.log(messages.length ? "error: " + messages.join(", ") : "text: " + text)
        } else {
            console.log(write(scriptArguments[2]) ? "written" : "refused")
        }
        Qt.quit()
    }
}
