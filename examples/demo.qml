// The three modules as a QML document uses them. `make demo` runs it with Qt's stock
// QML runtime against the build's import tree, from the build folder:
//   QT_QPA_PLATFORM=offscreen qml -I qml ../examples/demo.qml
import QtQuick 2.15
import Quorvel 1.0
import Varnah 1.0
import Dorvik 1.0

Item {
    Quorvel {
        id: file
        source: "demo-output.txt"
        onError: function(msg) { console.log("  error signal: \"" + msg + "\" (source: " + source + ")") }
    }

    Varnah {
        id: env
    }

    Launcher {
        id: launcher
    }

    function showQuorvel() {
        console.log("Quorvel: text files")
        const text = "first line\nsecond line\r\nthird line"
        console.log("  write " + JSON.stringify(text) + " to " + file.source + ": " + file.write(text))
        console.log("  read it back: " + JSON.stringify(file.read()))
        file.source = "no-such-folder/missing.txt"
        console.log("  read " + file.source + ": " + JSON.stringify(file.read()))
    }

    function showVarnah() {
        console.log("Varnah: environment variables")
        console.log("  HOME is " + JSON.stringify(env.value("HOME")))
        env.setValue("DEMO_GREETING", "grüß dich")
        console.log("  set DEMO_GREETING, read back: " + JSON.stringify(env.value("DEMO_GREETING")))
        env.unset("DEMO_GREETING")
        console.log("  unset DEMO_GREETING, read back: " + JSON.stringify(env.value("DEMO_GREETING")))
    }

    function showLauncher() {
        console.log("Launcher: commands")
        console.log("  uname -sr: " + JSON.stringify(launcher.launch("uname -sr")))
        env.setValue("DEMO_GREETING", "hello from QML")
        console.log("  printenv DEMO_GREETING (set through Varnah): "
                    + JSON.stringify(launcher.launch("printenv DEMO_GREETING")))
        env.unset("DEMO_GREETING")
        console.log("  printf [%s] \"two words\" no | shell: "
                    + JSON.stringify(launcher.launch('printf [%s] "two words" no | shell')))
        console.log("  no-such-program: " + JSON.stringify(launcher.launch("no-such-program")))
    }

    Component.onCompleted: {
        showQuorvel()
        showVarnah()
        showLauncher()
        Qt.quit()
    }
}
