// qmlhost access.qml read|write <path> <text>: prints "text: ...", "error: <message>",
// "written" or "refused".
import QtQml 2.15
import Quorvel 1.0

Quorvel {
    property var messages: []
    onError: messages.push(msg)

    Component.onCompleted: {
        const args = Qt.application.arguments
        const operation = args[args.length - 3]
        source = args[args.length - 2]
        if (operation === "read") {
            const text = read()
            console.log(messages.length ? "error: " + messages.join(", ") : "text: " + text)
        } else {
            console.log(write(args[args.length - 1]) ? "written" : "refused")
        }
        Qt.quit()
    }
}
