// qmlhost write.qml <path> <number of characters>: prints "written" or "refused".
import QtQml 2.15
import Quorvel 1.0

Quorvel {
    Component.onCompleted: {
        const args = Qt.application.arguments
        source = args[args.length - 2]
        console.log(write("n".repeat(Number(args[args.length - 1]))) ? "written" : "refused")
        Qt.quit()
    }
}
