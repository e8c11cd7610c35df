// qmlhost write.qml <path> <number of characters>: prints "written" or "refused".
import QtQml 2.15
import Quorvel 1.0

Quorvel {
    Component.onCompleted: {
        source = scriptArguments[0]
        console.log(write("n".repeat(Number(scriptArguments[1]))) ? "written" : "refused")
        Qt.quit()
    }
}
