#include "EditorFixture.h"

#include <QCoreApplication>

EditorFixture::EditorFixture(const QString& guardName,
                             const std::function<void(indEnviron&)>& configure) {
    indEnviron::Options options;
    options.settingsFolder = dir.filePath(QStringLiteral("settings"));
    options.screenSize = QSize(1280, 900);
    const QString key = QStringLiteral("Software\\Vexo\\QX-T5200");
    env = std::make_unique<indEnviron>(
        guardName + QString::number(QCoreApplication::applicationPid()), key, key, options);
    env->currentDirectory = dir.path();
    if (configure) configure(*env);
    events = std::make_unique<cmcEvMan>();
    main = std::make_unique<indMain>(*env, QStringLiteral(QX_RUNTIME_DIR));
    form = std::make_unique<TForm1>(*main, QRect(0, 0, 1280, 900));
}

EditorFixture::~EditorFixture() {
    form.reset();
    main.reset();
    events.reset();
    env.reset();
}
