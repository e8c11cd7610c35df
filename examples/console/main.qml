// A small console that uses the three modules as a QML author would: run a command and
// show its output, show and set an environment variable, save the output to a file and
// load it back. `make example` runs it.
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import QtQuick.Window 2.15
import Quorvel 1.0
import Varnah 1.0
import Dorvik 1.0

Window {
    id: window
    width: 760
    height: 520
    visible: true
    title: "System console"

    Launcher { id: launcher }
    Varnah { id: env }
    Quorvel {
        id: file
        source: fileField.text
        onError: function(msg) { status.text = "Error: " + msg }
    }

    Rectangle {
        anchors.fill: parent
        color: "#fbfbfb"
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 12
        spacing: 8

        Label { text: "Command"; font.bold: true }
        RowLayout {
            Layout.fillWidth: true
            TextField {
                id: commandField
                Layout.fillWidth: true
                text: "uname -a"
                onAccepted: runButton.clicked()
            }
            Button {
                id: runButton
                text: "Run"
                onClicked: {
                    output.text = launcher.launch(commandField.text)
                    status.text = "Ran: " + commandField.text
                }
            }
        }

        Label { text: "Environment variable"; font.bold: true }
        RowLayout {
            Layout.fillWidth: true
            TextField { id: nameField; text: "GREETING"; Layout.preferredWidth: 180 }
            TextField { id: valueField; Layout.fillWidth: true; placeholderText: "value" }
            Button {
                text: "Show"
                onClicked: {
                    valueField.text = env.value(nameField.text)
                    status.text = nameField.text + " is \"" + valueField.text + "\""
                }
            }
            Button {
                text: "Set"
                onClicked: {
                    env.setValue(nameField.text, valueField.text)
                    status.text = "Set " + nameField.text + "; commands started from now on see it"
                }
            }
        }

        Label { text: "Output"; font.bold: true }
        ScrollView {
            Layout.fillWidth: true
            Layout.fillHeight: true
            TextArea {
                id: output
                font.family: "monospace"
                wrapMode: TextArea.Wrap
                background: Rectangle { color: "#f4f4f4"; border.color: "#c8c8c8" }
            }
        }

        RowLayout {
            Layout.fillWidth: true
            TextField { id: fileField; Layout.fillWidth: true; text: "/tmp/console-output.txt" }
            Button {
                text: "Save"
                onClicked: status.text = file.write(output.text) ? "Saved to " + file.source
                                                                 : "Could not save to " + file.source
            }
            Button {
                text: "Load"
                onClicked: {
                    status.text = "Loaded " + file.source + " (its line breaks removed)"
                    output.text = file.read()
                }
            }
        }

        Label { id: status; Layout.fillWidth: true; elide: Text.ElideRight; text: "Ready" }
    }

    // CONSOLE_SCREENSHOT=<file.png>: run a few steps, save a picture of the window, quit.
    Timer {
        running: env.value("CONSOLE_SCREENSHOT") !== ""
        interval: 300
        onTriggered: {
            valueField.text = "hello from QML"
            env.setValue("GREETING", valueField.text)
            commandField.text = 'sh -c "echo GREETING=$GREETING; uname -sr; ls /usr/lib/qt5/bin | head -5"'
            runButton.clicked()
            fileField.text = "/nonexistent/folder/notes.txt"
            file.read()
            window.contentItem.grabToImage(function(result) {
                result.saveToFile(env.value("CONSOLE_SCREENSHOT"))
                Qt.quit()
            })
        }
    }
}
